// The port chooser: a popup list of the device list's entries standing on the port field,
// with separators and a light-blue frame; a tap on a row chooses its entry, a tap anywhere
// else closes the list.
#include "devicelink/ZundleCardSerialManager.h"
#include "scene/FieldScene.h"
#include "scene/PressListener.h"

USING_NS_CC;

namespace {
const Color4B kShade(127, 127, 127, 127);
const Color4B kSeparatorColour(217, 224, 225, 127);
const Color4B kRowColour(255, 255, 255, 196);
constexpr float kSeparatorHeight = 2.f;
constexpr float kFrameWidth = 5.f;
constexpr float kFadeSeconds = 0.1f;

void addBar(Layer* chooser, const Color4B& colour, float x, float y, float w, float h) {
    LayerColor* bar = LayerColor::create(colour, w, h);
    bar->setPosition(x, y);
    chooser->addChild(bar);
}
}  // namespace

void FieldScene::onPortFieldPressed() {
    openPortChooser();
}

void FieldScene::openPortChooser() {
    const ZundleCardSerialManager* link = ZundleCardSerialManager::getInstance();
    // While a discovery runs its worker rebuilds the list: there is nothing to read yet.
    if (portChooser != nullptr || link->isSearching() || link->devices.empty()) {
        return;
    }
    const Size visible = Director::getInstance()->getVisibleSize();
    auto* chooser = Layer::create();
    chooser->setCascadeOpacityEnabled(true);
    chooser->addChild(LayerColor::create(kShade, visible.width, visible.height));

    // The rows stand on the port field, in the settings bar's coordinates: those of the
    // scene while the bar is open, the only time the port field can be reached.
    const Vec2 field = portField->getPosition();
    const Size size = portField->getContentSize();
    const float left = field.x - size.width / 2.f;
    const float base = field.y + size.height / 2.f;
    float y = base + kFrameWidth;
    for (std::size_t i = 0; i < link->devices.size(); ++i) {
        if (i > 0) {
            addBar(chooser, kSeparatorColour, left, y, size.width, kSeparatorHeight);
            y += kSeparatorHeight;
        }
        addBar(chooser, kRowColour, left, y, size.width, size.height);
        // A row reads like the port label: same font, box, colour and left edge.
        Label* row = Label::createWithSystemFont(
            entryText(link->devices.at(i)), portLabel->getSystemFontName(),
            portLabel->getSystemFontSize(), portLabel->getDimensions(), TextHAlignment::LEFT,
            TextVAlignment::CENTER);
        row->setTextColor(portLabel->getTextColor());
        row->setAnchorPoint(Vec2(0.f, 0.5f));
        row->setTag(static_cast<int>(i));
        row->setPosition(portLabel->getPositionX(), y + size.height / 2.f);
        chooser->addChild(row);
        y += size.height;

        EventListenerTouchOneByOne* listener = pressrule::makeListener(
            [this](Node* chosen) {
                ZundleCardSerialManager::getInstance()->selectedIndex = chosen->getTag();
                refreshPortLabel(true);
                runAction(CallFunc::create([this]() { closePortChooser(); }));
            },
            pressrule::kChooserPressed, [this]() { return portChooser != nullptr; });
        getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, row);
        portChooserListeners.pushBack(listener);
    }

    // The frame's bars are 5 wide and touch the rows on every side; the bottom one lies
    // on the port field's top edge.
    const float frameHeight = y - (base + kFrameWidth) + 2.f * kFrameWidth;
    addBar(chooser, kLightBlue, left - kFrameWidth, base, size.width + 2.f * kFrameWidth,
           kFrameWidth);
    addBar(chooser, kLightBlue, left - kFrameWidth, y, size.width + 2.f * kFrameWidth, kFrameWidth);
    addBar(chooser, kLightBlue, left - kFrameWidth, base, kFrameWidth, frameHeight);
    addBar(chooser, kLightBlue, left + size.width, base, kFrameWidth, frameHeight);

    addChild(chooser);
    portChooser = chooser;
    chooser->setOpacity(0);
    chooser->runAction(FadeIn::create(kFadeSeconds));

    // The chooser covers the window: a touch that begins off the rows reaches nothing
    // beneath and closes the list when it ends.
    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [this](Touch* touch, Event* event) {
        return portField != nullptr &&
               CardSprite::isTouchInside(event->getCurrentTarget(), touch->getLocation());
    };
    listener->onTouchEnded = [this](Touch*, Event*) {
        runAction(CallFunc::create([this]() { closePortChooser(); }));
    };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, chooser);
}

void FieldScene::closePortChooser() {
    if (portChooser != nullptr) {
        getEventDispatcher()->removeEventListenersForTarget(portChooser);
        // While it fades the shade still covers the window: a press then reaches nothing.
        getEventDispatcher()->addEventListenerWithSceneGraphPriority(pressrule::makeBlocker(),
                                                                     portChooser);
        portChooser->runAction(
            Sequence::create(FadeOut::create(kFadeSeconds), RemoveSelf::create(true), nullptr));
    }
    for (EventListener* listener : portChooserListeners) {
        getEventDispatcher()->removeEventListener(listener);
    }
    portChooserListeners.clear();
    portChooser = nullptr;
}
