// The workspace's fixed layout: the palette panel with its list, edges, page arrows and
// card-set tabs, the player strip on the right, the light-blue frame, and the listeners
// of the scene's own controls.
#include "catalogue/DeviceManager.h"
#include "scene/FieldScene.h"
#include "scene/PressListener.h"
#include "scene/SceneLook.h"

USING_NS_CC;
using namespace scenelook;

namespace {
const char* const kPageUpImage = "res/menuup.png";
const char* const kPageDownImage = "res/menudown.png";
const char* const kPlayerStripImage = "res/r_player.png";
const char* const kPlayImage = "res/r_play.png";
const char* const kStopImage = "res/r_stop.png";
const char* const kDialectButtonImage = "res/r_to_kib_on.png";
// The trash marker stands this far in from the top right corner.
constexpr float kTrashInset = 40.f;
// The header strip above the palette list holds the tabs.
constexpr float kHeaderHeight = 53.f;
constexpr float kEdge = 5.f;
// Distance of the dialect and stop buttons from the strip's centre line.
constexpr float kStripButtonSpacing = 120.f;
}  // namespace

bool FieldScene::buildPalettePanel(Layer* layerA) {
    const Size visible = Director::getInstance()->getVisibleSize();
    const float w = kPalettePanelWidth;
    const float h = visible.height;

    trashMarker = Sprite::create(kTrashImage);
    if (trashMarker == nullptr) {
        return false;
    }
    const Size trash = trashMarker->getContentSize();
    trashMarker->setPosition(visible.width - trash.width / 2.f - kTrashInset,
                             h - trash.height / 2.f - kTrashInset);
    trashMarker->setOpacity(0);
    layerA->addChild(trashMarker);

    palettePanel = LayerColor::create(Color4B::WHITE, w, h);
    palettePanel->setPosition(Vec2::ZERO);
    layerA->addChild(palettePanel);

    paletteList = FieldScrollView::create(Size(w - 2.f * kEdge, h - kHeaderHeight - kEdge));
    if (paletteList == nullptr) {
        return false;
    }
    paletteList->setPosition(kEdge, kEdge);
    paletteList->setScrollAxis(FieldScrollView::ScrollAxis::Vertical);
    paletteList->springBack = false;
    palettePanel->addChild(paletteList);
    if (!buildPalette()) {
        return false;
    }

    LayerColor* header = LayerColor::create(kLightBlue, w, kHeaderHeight);
    header->setPosition(0.f, h - kHeaderHeight);
    palettePanel->addChild(header);
    palettePanel->addChild(LayerColor::create(kLightBlue, w, kEdge));
    palettePanel->addChild(LayerColor::create(kLightBlue, kEdge, h));

    pageUpButton = Sprite::create(kPageUpImage);
    pageDownButton = Sprite::create(kPageDownImage);
    if (pageUpButton == nullptr || pageDownButton == nullptr) {
        return false;
    }
    // The up arrow reaches 5 pixels into the header strip, just below the tabs.
    pageUpButton->setPosition(
        w / 2.f, h - pageUpButton->getContentSize().height / 2.f - kHeaderHeight + kEdge);
    pageDownButton->setPosition(w / 2.f, pageDownButton->getContentSize().height / 2.f);
    palettePanel->addChild(pageUpButton);
    palettePanel->addChild(pageDownButton);

    const DeviceManager* catalogue = DeviceManager::getInstance();
    for (int set = 0; set < kCardSetCount; ++set) {
        Sprite* tab = Sprite::create(catalogue->getTabImage(set));
        if (tab == nullptr) {
            return false;
        }
        const Size size = tab->getContentSize();
        const float x = set == 0   ? size.width / 2.f + kEdge
                        : set == 1 ? w / 2.f
                                   : w - size.width / 2.f - kEdge;
        tab->setPosition(x, h - size.height / 2.f - kEdge);
        tab->setTag(set);
        writeTabName(tab, set == catalogue->cardSet);
        cardSetTabs.pushBack(tab);
        palettePanel->addChild(tab);
    }
    return true;
}

bool FieldScene::buildPlayerStrip() {
    const Size visible = Director::getInstance()->getVisibleSize();
    Sprite* strip = playerStrip = Sprite::create(kPlayerStripImage);
    dialectButton = Sprite::create(kDialectButtonImage);
    playButton = CardSprite::create(kPlayImage);
    stopButton = Sprite::create(kStopImage);
    if (strip == nullptr || dialectButton == nullptr || playButton == nullptr ||
        stopButton == nullptr) {
        return false;
    }
    const float right = visible.width;
    const float middle = visible.height / 2.f;
    strip->setPosition(right - strip->getContentSize().width / 2.f, middle);
    dialectButton->setPosition(right - dialectButton->getContentSize().width / 2.f - 10.f,
                               middle + kStripButtonSpacing);
    playButton->setPosition(right - playButton->getContentSize().width / 2.f - 30.f, middle);
    stopButton->setPosition(right - stopButton->getContentSize().width / 2.f - 10.f,
                            middle - kStripButtonSpacing);
    addChild(strip);
    addChild(playButton);
    addChild(stopButton);
    addChild(dialectButton);
    return true;
}

void FieldScene::buildFrame() {
    // Around the field area, from the palette panel's edge to the window's right edge.
    const Size visible = Director::getInstance()->getVisibleSize();
    const float inner = kPalettePanelWidth;
    const float across = visible.width - inner;
    struct Bar {
        float x, y, w, h;
    };
    for (const Bar& bar :
         {Bar{inner - kEdge, 0.f, kEdge, visible.height},
          Bar{inner, visible.height - kEdge, across, kEdge},
          Bar{visible.width - kEdge, 0.f, kEdge, visible.height}, Bar{inner, 0.f, across, kEdge}}) {
        LayerColor* layer = LayerColor::create(kLightBlue, bar.w, bar.h);
        layer->setPosition(bar.x, bar.y);
        addChild(layer);
    }
}

void FieldScene::listenForPress(Node* control, std::function<void(Node*)> action,
                                std::function<bool()> accepts) {
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(
        pressrule::makeListener(std::move(action), pressrule::kPressed, std::move(accepts)),
        control);
}

void FieldScene::addControlListeners() {
    listenForPress(reloadSpinner, [this](Node*) { onReloadPressed(); });
    listenForPress(portField, [this](Node*) { onPortFieldPressed(); });
    listenForPress(settingsGear, [this](Node*) { toggleSettingsBar(); });
    listenForPress(dialectButton, [this](Node*) { openDialectChooser(); });
    listenForPress(playButton, [this](Node*) { onPlayPressed(); });
    listenForPress(stopButton, [this](Node*) { onStopPressed(); });

    // The arrows page as soon as they are pressed; sliding off them changes nothing.
    for (Sprite* arrow : {pageUpButton, pageDownButton}) {
        auto* listener = EventListenerTouchOneByOne::create();
        listener->setSwallowTouches(true);
        const bool up = arrow == pageUpButton;
        listener->onTouchBegan = [this, up](Touch* touch, Event* event) {
            if (!CardSprite::isTouchInside(event->getCurrentTarget(), touch->getLocation())) {
                return false;
            }
            pagePalette(up);
            return true;
        };
        getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, arrow);
    }

    EventListenerTouchOneByOne* tabListener =
        pressrule::makeListener([this](Node* tab) { switchCardSet(tab->getTag()); });
    for (Sprite* tab : cardSetTabs) {
        getEventDispatcher()->addEventListenerWithSceneGraphPriority(tabListener->clone(), tab);
    }
}
