// The shelf of programs: a popup of the last work and twelve places, each with a small
// picture of its rows and when it was saved; open and save without typing; a question
// before a program is replaced; the folder in the file manager; a dropped file opened.
#include <algorithm>
#include <ctime>

#include "catalogue/DeviceManager.h"
#include "scene/FieldScene.h"
#include "scene/NoticeStrip.h"
#include "scene/PressListener.h"
#include "scene/SceneLook.h"
#include "storage/ProgramShelf.h"

USING_NS_CC;
using namespace scenelook;

namespace {
const Color4B kTileColour(255, 255, 255, 255);
const Color4B kPictureColour(228, 246, 252, 255);
const Color4B kButtonColour(42, 155, 200, 255);
const Color4B kQuietButtonColour(120, 144, 156, 255);
const Color4B kFaint(144, 164, 174, 255);
constexpr int kColumns = 4;
constexpr float kTileWidth = 168.f;
constexpr float kTileHeight = 150.f;
constexpr float kGap = 8.f;
constexpr float kFooterHeight = 44.f;
// The small picture of a program's rows inside a tile.
const Rect kPictureBox(9.f, 40.f, 150.f, 80.f);
// At least this many rows are shown, so that a short program's cards stay small.
constexpr int kFewestPictureRows = 4;

Label* addText(Node* parent, const std::string& text, float size, const Color4B& colour,
               const Vec2& position, const Vec2& anchor) {
    Label* label = Label::createWithSystemFont(text, kFont, size);
    if (label != nullptr) {
        label->setTextColor(colour);
        label->setAnchorPoint(anchor);
        label->setPosition(position);
        parent->addChild(label);
    }
    return label;
}

std::string savedAtText(std::time_t when) {
    // The workspace's own thread is the only one that asks, so the shared result will do.
    const std::tm* local = std::localtime(&when);
    char text[32];
    return local != nullptr && std::strftime(text, sizeof text, "%d %b %H:%M", local) > 0 ? text
                                                                                          : "";
}

// The rows of a program drawn small from the cards' own pictures, from the first row to
// the last that holds a card; loose cards are not in the program and are left out.
Node* programPicture(const FieldContents& contents) {
    Node* picture = Node::create();
    int last = -1;
    for (int r = 0; r < FieldContents::kRowCount; ++r) {
        for (const std::optional<CardId>& slot : contents.rows[static_cast<std::size_t>(r)]) {
            if (slot) {
                last = r;
            }
        }
    }
    const int shown = std::max(last + 1, kFewestPictureRows);
    const float pitch = kPictureBox.size.height / static_cast<float>(shown);
    const DeviceManager* catalogue = DeviceManager::getInstance();
    for (int r = 0; r <= last; ++r) {
        const FieldContents::Row& row = contents.rows[static_cast<std::size_t>(r)];
        for (std::size_t s = 0; s < row.size(); ++s) {
            if (!row[s]) {
                continue;
            }
            Sprite* card =
                Sprite::create(catalogue->getPaletteImage(row[s]->cardIndex, row[s]->cardSet));
            if (card == nullptr) {
                continue;
            }
            const float scale = pitch * 0.9f / card->getContentSize().height;
            card->setScale(scale);
            const float width = card->getContentSize().width * scale;
            card->setAnchorPoint(Vec2(0.f, 1.f));
            card->setPosition(
                kPictureBox.getMidX() - width - 2.f + static_cast<float>(s) * (width + 4.f),
                kPictureBox.getMaxY() - static_cast<float>(r) * pitch);
            picture->addChild(card);
        }
    }
    return picture;
}
}  // namespace

ProgramShelf& FieldScene::programShelf() {
    if (!shelf) {
        const DeviceManager* catalogue = DeviceManager::getInstance();
        CatalogueSize size;
        for (int set = 0; set < kCardSetCount; ++set) {
            size.cardsPerSet[static_cast<std::size_t>(set)] = catalogue->getCardCount(set);
        }
        size.dialects = catalogue->getDialectCount();
        shelf = std::make_unique<ProgramShelf>(size);
    }
    return *shelf;
}

Node* FieldScene::addPopupButton(Node* parent, const std::string& text, const Vec2& centre,
                                 std::function<void()> action, bool quiet) {
    NoticeStrip* button =
        NoticeStrip::create(text, quiet ? kQuietButtonColour : kButtonColour, kTileWidth);
    if (button == nullptr) {
        return nullptr;
    }
    button->setPosition(centre);
    parent->addChild(button);
    listenForPress(button, [action = std::move(action)](Node*) { action(); });
    return button;
}

Layer* FieldScene::makePopup(const Size& panel, std::function<void()> onOutside) {
    const Size visible = Director::getInstance()->getVisibleSize();
    auto* popup = Layer::create();
    popup->setCascadeOpacityEnabled(true);
    popup->addChild(LayerColor::create(kPopupShade, visible.width, visible.height));
    // Over the field, clear of the palette, as the notices are.
    const Vec2 origin((kPalettePanelWidth + visible.width - panel.width) / 2.f,
                      (visible.height - panel.height) / 2.f);
    auto* body = LayerColor::create(Color4B(kLightBlue), panel.width + 2.f * kPopupFrameWidth,
                                    panel.height + 2.f * kPopupFrameWidth);
    body->setPosition(origin - Vec2(kPopupFrameWidth, kPopupFrameWidth));
    popup->addChild(body);
    auto* inside = Layer::create();
    inside->setPosition(origin);
    inside->setContentSize(panel);
    inside->setTag(kPopupInsideTag);
    popup->addChild(inside);

    // The popup covers the window: a touch off its panel reaches nothing beneath.
    auto* listener = EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [](Touch*, Event*) { return true; };
    listener->onTouchEnded = [body, onOutside = std::move(onOutside)](Touch* touch, Event*) {
        if (onOutside && !CardSprite::isTouchInside(body, touch->getLocation())) {
            onOutside();
        }
    };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, popup);
    addChild(popup);
    popup->setOpacity(0);
    popup->runAction(FadeIn::create(kPopupFadeSeconds));
    return popup;
}

void FieldScene::closePopup(Layer*& popup) {
    if (popup == nullptr) {
        return;
    }
    Layer* closing = popup;
    popup = nullptr;
    // Its controls go now; while it fades it still takes every touch.
    getEventDispatcher()->removeEventListenersForTarget(closing, true);
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(pressrule::makeBlocker(), closing);
    closing->runAction(
        Sequence::create(FadeOut::create(kPopupFadeSeconds), RemoveSelf::create(true), nullptr));
}

void FieldScene::openShelf() {
    if (shelfPopup != nullptr || questionPopup != nullptr || !mayReplaceField()) {
        return;
    }
    watchField(0.f);
    const float rows = (ProgramShelf::kPlaceCount + 1 + kColumns - 1) / kColumns;
    const Size panel(kColumns * kTileWidth + (kColumns + 1) * kGap,
                     rows * kTileHeight + (rows + 1) * kGap + kFooterHeight);
    shelfPopup = makePopup(panel, [this]() { closeShelf(); });
    Node* inside = shelfPopup->getChildByTag(kPopupInsideTag);
    addBar(inside, kTileColour, 0.f, 0.f, panel.width, panel.height);
    for (int tile = 0; tile <= ProgramShelf::kPlaceCount; ++tile) {
        const float x = kGap + static_cast<float>(tile % kColumns) * (kTileWidth + kGap);
        const float y =
            panel.height - static_cast<float>(tile / kColumns + 1) * (kTileHeight + kGap);
        addShelfTile(inside, tile - 1, Vec2(x, y));
    }
    addPopupButton(
        inside, "Open the folder", Vec2(kGap + 70.f, kFooterHeight / 2.f + 2.f),
        [this]() {
            std::string problem;
            if (!programShelf().showFolder(problem)) {
                showNotice(problem);
            }
        },
        true);
    addPopupButton(
        inside, "Close", Vec2(panel.width - kGap - 40.f, kFooterHeight / 2.f + 2.f),
        [this]() { closeShelf(); }, true);
}

void FieldScene::closeShelf() {
    closeAfterSave = false;
    closePopup(shelfPopup);
}

void FieldScene::addShelfTile(Node* inside, int place, const Vec2& corner) {
    // place -1 is the last work, kept by the program itself: it can be opened, not saved into.
    const bool lastWork = place < 0;
    const ProgramShelf::Entry entry =
        lastWork ? programShelf().readLastWork() : programShelf().readPlace(place);
    auto* tile = Node::create();
    tile->setTag(place + 1);
    tile->setPosition(corner);
    tile->setCascadeOpacityEnabled(true);
    inside->addChild(tile);
    addBar(tile, Color4B(kLightBlue), 0.f, 0.f, kTileWidth, kTileHeight);
    addBar(tile, kTileColour, 2.f, 2.f, kTileWidth - 4.f, kTileHeight - 4.f);
    addBar(tile, kPictureColour, kPictureBox.origin.x, kPictureBox.origin.y, kPictureBox.size.width,
           kPictureBox.size.height);
    const std::string name = lastWork ? "Last work" : "Place " + std::to_string(place + 1);
    addText(tile, name, 14.f, Color4B(kInk, 255), Vec2(9.f, kTileHeight - 15.f), Vec2(0.f, 0.5f));
    std::string state = "empty";
    if (!entry.problem.empty()) {
        state = "cannot be read";
    } else if (entry.savedAt) {
        state = savedAtText(*entry.savedAt);
    }
    addText(tile, state, 11.f, kFaint, Vec2(kTileWidth - 9.f, kTileHeight - 15.f), Vec2(1.f, 0.5f));
    if (entry.contents) {
        tile->addChild(programPicture(*entry.contents));
    }

    const float buttonY = 20.f;
    if (entry.contents || !entry.problem.empty()) {
        addPopupButton(tile, "Open", Vec2(kTileWidth / 4.f + 4.f, buttonY), [this, entry]() {
            if (!entry.contents) {
                showNotice(entry.problem);
                return;
            }
            closeShelf();
            openContents(*entry.contents);
        });
    }
    if (!lastWork && !fieldContents().hasNoCards()) {
        addPopupButton(tile, "Save", Vec2(kTileWidth * 3.f / 4.f - 4.f, buttonY),
                       [this, place, filled = entry.savedAt.has_value()]() {
                           if (filled) {
                               askBeforeReplacing(place);
                           } else {
                               saveIntoPlace(place);
                           }
                       });
    }
}

void FieldScene::askBeforeReplacing(int place) {
    const std::string name = "place " + std::to_string(place + 1);
    askQuestion("There is a program in " + name + ". Put this one there instead?",
                {{"Replace", [this, place]() { saveIntoPlace(place); }}, {"Cancel", []() {}}});
}

void FieldScene::saveIntoPlace(int place) {
    std::string problem;
    if (!programShelf().savePlace(place, fieldContents(), problem)) {
        showNotice(problem);
        return;
    }
    const bool thenClose = closeAfterSave;
    closeShelf();
    showNotice("Saved in place " + std::to_string(place + 1) + ".", false);
    if (thenClose) {
        quitWorkspace();
    }
}

void FieldScene::openContents(const FieldContents& contents) {
    if (!mayReplaceField()) {
        return;
    }
    watchField(0.f);
    layContents(contents);
    DeviceManager::getInstance()->dialect = contents.dialect;
    refreshDialect();
    watchField(0.f);
}

void FieldScene::openDroppedFile(const std::string& path) {
    if (!mayReplaceField() || shelfPopup != nullptr || questionPopup != nullptr) {
        showNotice("Finish what you are doing, then drop the file again.");
        return;
    }
    std::string problem;
    if (std::optional<FieldContents> contents = programShelf().readFile(path, problem)) {
        openContents(*contents);
    } else {
        showNotice(problem);
    }
}

void FieldScene::askQuestion(
    const std::string& text,
    const std::vector<std::pair<std::string, std::function<void()>>>& answers) {
    if (questionPopup != nullptr) {
        return;
    }
    const Size panel(420.f, 150.f);
    questionPopup = makePopup(panel, {});
    Node* inside = questionPopup->getChildByTag(kPopupInsideTag);
    addBar(inside, kTileColour, 0.f, 0.f, panel.width, panel.height);
    Label* question = Label::createWithSystemFont(text, kFont, 16.f, Size(panel.width - 40.f, 80.f),
                                                  TextHAlignment::CENTER, TextVAlignment::CENTER);
    if (question != nullptr) {
        question->setTextColor(Color4B(kInk, 255));
        question->setPosition(panel.width / 2.f, panel.height - 50.f);
        inside->addChild(question);
    }
    const float step = panel.width / static_cast<float>(answers.size());
    for (std::size_t i = 0; i < answers.size(); ++i) {
        auto action = answers[i].second;
        addPopupButton(
            inside, answers[i].first, Vec2(step * (static_cast<float>(i) + 0.5f), 32.f),
            [this, action]() {
                closePopup(questionPopup);
                action();
            },
            i + 1 == answers.size());
    }
}
