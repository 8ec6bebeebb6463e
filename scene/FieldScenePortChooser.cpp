// The port chooser: a popup list of the device list's entries standing on the port field,
// with separators and a light-blue frame; a tap on a row chooses its entry, a tap anywhere
// else closes the list. A list taller than the room below the window's top shows the rows
// that fit and scrolls (wheel or drag), reusing those rows for the entries in view.
#include <algorithm>
#include <cmath>

#include "devicelink/ZundleCardSerialManager.h"
#include "scene/FieldScene.h"
#include "scene/OneLineText.h"
#include "scene/Popup.h"
#include "scene/PressListener.h"
#include "scene/SceneLook.h"

USING_NS_CC;
using namespace scenelook;

namespace {
const Color4B kSeparatorColour(217, 224, 225, 127);
const Color4B kRowColour(255, 255, 255, 196);
constexpr float kSeparatorHeight = 2.f;
// A touch on the list that moves further than this scrolls it instead of choosing a row.
constexpr float kDragThreshold = 8.f;
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
    // A touch that begins off the rows closes the list when it ends.
    auto* chooser = popup::open(this, [this](Touch*) {
        if (!portChooserDragged) {
            runAction(CallFunc::create([this]() { closePortChooser(); }));
        }
    });
    portChooser = chooser;

    // The rows stand on the port field, in the settings bar's coordinates: those of the
    // scene while the bar is open, the only time the port field can be reached.
    const Vec2 field = portField->getPosition();
    const Size size = portField->getContentSize();
    const float left = field.x - size.width / 2.f;
    const float base = field.y + size.height / 2.f;
    float y = base + kPopupFrameWidth;
    const float pitch = size.height + kSeparatorHeight;
    const float room = visible.height - kPopupFrameWidth - y + kSeparatorHeight;
    const std::size_t fit = static_cast<std::size_t>(std::max(1.f, std::floor(room / pitch)));
    const std::size_t shown = std::min(fit, link->devices.size());
    portChooserRows.clear();
    portChooserScroll = 0.f;
    portChooserDragged = false;
    for (std::size_t i = 0; i < shown; ++i) {
        if (i > 0) {
            addBar(chooser, kSeparatorColour, left, y, size.width, kSeparatorHeight);
            y += kSeparatorHeight;
        }
        addBar(chooser, kRowColour, left, y, size.width, size.height);
        // A row reads like the port label: same font, box, colour and left edge.
        Label* row = Label::createWithSystemFont(
            rowText(link->devices.at(i)), portLabel->getSystemFontName(),
            portLabel->getSystemFontSize(), portLabel->getDimensions(), TextHAlignment::LEFT,
            TextVAlignment::CENTER);
        row->setTextColor(portLabel->getTextColor());
        row->setAnchorPoint(Vec2(0.f, 0.5f));
        row->setTag(static_cast<int>(i));
        row->setPosition(portLabel->getPositionX(), y + size.height / 2.f);
        chooser->addChild(row);
        portChooserRows.push_back(row);
        y += size.height;

        EventListenerTouchOneByOne* listener = pressrule::makeListener(
            [this](Node* chosen) {
                if (portChooserDragged) {
                    return;
                }
                ZundleCardSerialManager::getInstance()->selectedIndex = chosen->getTag();
                rememberChosenBoard();
                refreshPortLabel(false);
                runAction(CallFunc::create([this]() { closePortChooser(); }));
            },
            pressrule::kChooserPressed, [this]() { return portChooser != nullptr; });
        getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, row);
        portChooserListeners.pushBack(listener);
    }

    // The frame touches the rows on every side; its bottom bar lies on the port field's top
    // edge.
    const Rect rows(left, base + kPopupFrameWidth, size.width, y - base - kPopupFrameWidth);
    popup::addFrame(chooser, rows);
    if (shown < link->devices.size()) {
        addDragArea(chooser, rows);
    }
}

std::string FieldScene::rowText(const ZundleCardSerialData* entry) const {
    return onelinetext::fitted(entryText(entry), portLabel->getSystemFontName(),
                               portLabel->getSystemFontSize(), portLabel->getDimensions().width);
}

void FieldScene::addDragArea(Layer* chooser, const Rect& rows) {
    // Above the rows and not swallowing: the row pressed still hears the touch, but once
    // it has moved far enough the touch scrolls and chooses nothing.
    auto* area = Node::create();
    area->setAnchorPoint(Vec2::ZERO);
    area->setPosition(rows.origin);
    area->setContentSize(rows.size);
    chooser->addChild(area);
    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(false);
    listener->onTouchBegan = [this](Touch* touch, Event* event) {
        if (portChooser == nullptr ||
            !CardSprite::isTouchInside(event->getCurrentTarget(), touch->getLocation())) {
            return false;
        }
        portChooserDragged = false;
        return true;
    };
    listener->onTouchMoved = [this](Touch* touch, Event*) {
        if (!portChooserDragged &&
            std::fabs(touch->getLocation().y - touch->getStartLocation().y) > kDragThreshold) {
            portChooserDragged = true;
            for (Label* row : portChooserRows) {
                row->setOpacity(255);
            }
        }
        if (portChooserDragged) {
            // The finger carries the list: moving it down brings the later entries down.
            const float pitch = portField->getContentSize().height + kSeparatorHeight;
            scrollPortChooser((touch->getPreviousLocation().y - touch->getLocation().y) / pitch);
        }
    };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, area);
}

void FieldScene::scrollPortChooser(float rows) {
    const ZundleCardSerialManager* link = ZundleCardSerialManager::getInstance();
    const std::size_t count = link->devices.size();
    if (portChooser == nullptr || portChooserRows.size() >= count) {
        return;
    }
    const auto last = static_cast<float>(count - portChooserRows.size());
    portChooserScroll = std::clamp(portChooserScroll + rows, 0.f, last);
    const auto first = static_cast<std::size_t>(std::lround(portChooserScroll));
    for (std::size_t r = 0; r < portChooserRows.size(); ++r) {
        Label* row = portChooserRows[r];
        if (row->getTag() != static_cast<int>(first + r)) {
            row->setTag(static_cast<int>(first + r));
            row->setString(rowText(link->devices.at(first + r)));
        }
    }
}

void FieldScene::closePortChooser() {
    if (portChooser != nullptr) {
        popup::close(portChooser);
    }
    for (EventListener* listener : portChooserListeners) {
        getEventDispatcher()->removeEventListener(listener);
    }
    portChooserListeners.clear();
    portChooserRows.clear();
    portChooser = nullptr;
}
