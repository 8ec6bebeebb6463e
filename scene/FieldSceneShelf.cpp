// The shelf of programs: a popup of the last work and twelve places, each with a small
// picture of its rows and when it was saved; open and save without typing; a question
// before a program is replaced; the folder in the file manager; a dropped file opened.
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "catalogue/DeviceManager.h"
#include "lang/Translate.h"
#include "scene/FieldScene.h"
#include "scene/NoticeStrip.h"
#include "scene/Popup.h"
#include "scene/PressListener.h"
#include "scene/SceneLook.h"
#include "storage/ProgramShelf.h"

USING_NS_CC;
using namespace scenelook;

namespace {
const Color4B kTileColour = kPaper;
const Color4B kPictureColour = kPale;
const Color4B kButtonColour = kFrameDark;
const Color4B kQuietButtonColour(kMuted, 255);
const Color4B kFaint(144, 164, 174, 255);
constexpr int kColumns = 4;
constexpr float kTileWidth = 168.f;
constexpr float kTileHeight = 150.f;
constexpr float kGap = 8.f;
constexpr float kFooterHeight = 44.f;
// The works of recent runs stand in a lower row of narrower tiles above the places.
constexpr float kWorkTileHeight = 118.f;
constexpr int kFirstWorkTag = 100;
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

// The months by their short names, in the workspace's language rather than the locale's,
// which on a machine without that locale compiled would be English.
const char* const kMonths[] = {lang::mark("Jan"), lang::mark("Feb"), lang::mark("Mar"),
                               lang::mark("Apr"), lang::mark("May"), lang::mark("Jun"),
                               lang::mark("Jul"), lang::mark("Aug"), lang::mark("Sep"),
                               lang::mark("Oct"), lang::mark("Nov"), lang::mark("Dec")};

std::string savedAtText(std::time_t when) {
    // The workspace's own thread is the only one that asks, so the shared result will do.
    const std::tm* local = std::localtime(&when);
    char time[16];
    if (local == nullptr || local->tm_mon < 0 || local->tm_mon > 11 ||
        std::strftime(time, sizeof time, "%H:%M", local) == 0) {
        return "";
    }
    char day[4];
    std::snprintf(day, sizeof day, "%02d", local->tm_mday);
    return lang::fill(lang::tr("{day} {month} {time}"),
                      {{"day", day}, {"month", lang::tr(kMonths[local->tm_mon])}, {"time", time}});
}

// The rows of a program drawn small from the cards' own pictures, from the first row to
// the last that holds a card; loose cards are not in the program and are left out.
Node* programPicture(const FieldContents& contents, const Rect& box) {
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
    const float pitch = box.size.height / static_cast<float>(shown);
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
            card->setPosition(box.getMidX() - width - 2.f + static_cast<float>(s) * (width + 4.f),
                              box.getMaxY() - static_cast<float>(r) * pitch);
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
                                 std::function<void()> action, bool quiet, float room) {
    NoticeStrip* button =
        NoticeStrip::create(text, quiet ? kQuietButtonColour : kButtonColour, kTileWidth);
    if (button == nullptr) {
        return nullptr;
    }
    // "Enregistrer" beside "Ouvrir" in a tile: smaller, whole, and clear of its neighbour.
    const float wide = button->getContentSize().width;
    if (room > 0.f && wide > room) {
        button->setScale(room / wide);
    }
    button->setPosition(centre);
    parent->addChild(button);
    listenForPress(button, [action = std::move(action)](Node*) { action(); });
    return button;
}

Layer* FieldScene::makePopup(const Size& panel, std::function<void()> onOutside) {
    const Size visible = Director::getInstance()->getVisibleSize();
    // Over the field, clear of the palette, as the notices are.
    const Rect area(Vec2((kPalettePanelWidth + visible.width - panel.width) / 2.f,
                         (visible.height - panel.height) / 2.f),
                    panel);
    Layer* shown = popup::open(this, [area, onOutside = std::move(onOutside)](Touch* touch) {
        if (onOutside && !popup::isOnFrame(area, touch->getLocation())) {
            onOutside();
        }
    });
    popup::addFrame(shown, area);
    auto* inside = Layer::create();
    inside->setPosition(area.origin);
    inside->setContentSize(panel);
    inside->setTag(kPopupInsideTag);
    shown->addChild(inside);
    return shown;
}

void FieldScene::closePopup(Layer*& shown) {
    if (shown != nullptr) {
        popup::close(shown);
        shown = nullptr;
    }
}

void FieldScene::openShelf() {
    // During a send the shelf still opens (the close question's Keep), but only to save:
    // its Open buttons wait until the field may be replaced.
    if (shelfPopup != nullptr || questionPopup != nullptr || isGestureRunning()) {
        return;
    }
    watchField();
    const float placeRows = (ProgramShelf::kPlaceCount + kColumns - 1) / kColumns;
    const Size panel(
        kColumns * kTileWidth + (kColumns + 1) * kGap,
        kWorkTileHeight + placeRows * kTileHeight + (placeRows + 2) * kGap + kFooterHeight);
    shelfPopup = makePopup(panel, [this]() { closeShelf(); });
    Node* inside = shelfPopup->getChildByTag(kPopupInsideTag);
    addBar(inside, kTileColour, 0.f, 0.f, panel.width, panel.height);
    // The works of recent runs across the top, newest first, then the places.
    const std::vector<ProgramShelf::Work> works = programShelf().recentWorks();
    const float workWidth =
        (panel.width - (ProgramShelf::kShownWorks + 1) * kGap) / ProgramShelf::kShownWorks;
    const float workY = panel.height - kGap - kWorkTileHeight;
    for (std::size_t i = 0; i < works.size(); ++i) {
        addShelfTile(inside, kFirstWorkTag + static_cast<int>(i), works[i].entry,
                     Rect(kGap + static_cast<float>(i) * (workWidth + kGap), workY, workWidth,
                          kWorkTileHeight));
    }
    if (works.empty()) {
        addText(inside, lang::tr("Your earlier work will be kept here."), 13.f, kFaint,
                Vec2(panel.width / 2.f, workY + kWorkTileHeight / 2.f), Vec2(0.5f, 0.5f));
    }
    for (int place = 0; place < ProgramShelf::kPlaceCount; ++place) {
        const float x = kGap + static_cast<float>(place % kColumns) * (kTileWidth + kGap);
        const float y = workY - static_cast<float>(place / kColumns + 1) * (kTileHeight + kGap);
        addShelfTile(inside, place + 1, programShelf().readPlace(place),
                     Rect(x, y, kTileWidth, kTileHeight));
    }
    addPopupButton(
        inside, lang::tr("Open the folder"), Vec2(kGap + 70.f, kFooterHeight / 2.f + 2.f),
        [this]() {
            std::string problem;
            if (!programShelf().showFolder(problem)) {
                showNotice(problem);
            }
        },
        true, 140.f);
    addPopupButton(
        inside, lang::tr("Close"), Vec2(panel.width - kGap - 40.f, kFooterHeight / 2.f + 2.f),
        [this]() { closeShelf(); }, true, 80.f);
}

void FieldScene::closeShelf() {
    closeAfterSave = false;
    closePopup(shelfPopup);
}

void FieldScene::addShelfTile(Node* inside, int tag, const ProgramShelf::Entry& entry,
                              const Rect& box) {
    // Tags 1..12 are the places; a work of a recent run can be opened, not saved into.
    const bool isPlace = tag >= 1 && tag <= ProgramShelf::kPlaceCount;
    const int place = tag - 1;
    auto* tile = Node::create();
    tile->setTag(tag);
    tile->setPosition(box.origin);
    tile->setCascadeOpacityEnabled(true);
    inside->addChild(tile);
    const float width = box.size.width;
    const float height = box.size.height;
    addBar(tile, Color4B(kLightBlue), 0.f, 0.f, width, height);
    addBar(tile, kTileColour, 2.f, 2.f, width - 4.f, height - 4.f);
    const Rect picture(9.f, 40.f, width - 18.f, height - 70.f);
    addBar(tile, kPictureColour, picture.origin.x, picture.origin.y, picture.size.width,
           picture.size.height);
    std::string state = lang::tr("empty");
    if (!entry.problem.empty()) {
        state = lang::tr("cannot be read");
    } else if (entry.savedAt) {
        state = savedAtText(*entry.savedAt);
    }
    if (isPlace) {
        addText(tile,
                lang::fill(lang::tr("Place {number}"), {{"number", std::to_string(place + 1)}}),
                14.f, Color4B(kInk, 255), Vec2(9.f, height - 15.f), Vec2(0.f, 0.5f));
        addText(tile, state, 11.f, kFaint, Vec2(width - 9.f, height - 15.f), Vec2(1.f, 0.5f));
    } else {
        addText(tile, state, 13.f, Color4B(kInk, 255), Vec2(9.f, height - 15.f), Vec2(0.f, 0.5f));
    }
    if (entry.contents) {
        tile->addChild(programPicture(*entry.contents, picture));
    }

    const float buttonY = 20.f;
    const float openX = isPlace ? width / 4.f + 4.f : width / 2.f;
    // Two buttons side by side, each in its half of the tile.
    const float room = width / 2.f - 14.f;
    if ((entry.contents || !entry.problem.empty()) && !isFieldBusy()) {
        addPopupButton(
            tile, lang::tr("Open"), Vec2(openX, buttonY),
            [this, entry]() {
                if (!entry.contents) {
                    showNotice(entry.problem);
                    return;
                }
                closeShelf();
                openContents(*entry.contents);
            },
            false, room);
    }
    if (isPlace && !fieldContents().hasNoCards()) {
        addPopupButton(
            tile, lang::tr("Save"), Vec2(width * 3.f / 4.f - 4.f, buttonY),
            [this, place]() { askBeforeSaving(place); }, false, room);
    }
}

void FieldScene::askBeforeSaving(int place) {
    if (placeWrite.ticket != 0) {
        return;
    }
    // The place as it is now, not as the tile was drawn: another window may have saved
    // there since.
    const ProgramShelf::Entry now = programShelf().readPlace(place);
    const std::string number = std::to_string(place + 1);
    if (now.notAFile) {
        showNotice(lang::fill(lang::tr("Something that is not a program lies in place {number}. "
                                       "Ask your teacher to check the folder."),
                              {{"number", number}}));
    } else if (now.contents) {
        askQuestion(lang::fill(lang::tr("There is a program in place {number}. Put this one there "
                                        "instead?"),
                               {{"number", number}}),
                    {{lang::tr("Replace"), [this, place]() { saveIntoPlace(place); }},
                     {lang::tr("Cancel"), []() {}}});
    } else if (now.savedAt) {
        askQuestion(lang::fill(lang::tr("The file in place {number} cannot be read. Put this "
                                        "program there instead?"),
                               {{"number", number}}),
                    {{lang::tr("Replace"), [this, place]() { saveIntoPlace(place); }},
                     {lang::tr("Cancel"), []() {}}});
    } else {
        saveIntoPlace(place);
    }
}

void FieldScene::saveIntoPlace(int place) {
    placeWrite = PlaceWrite{programShelf().keepInPlace(place, fieldContents()), place};
    watchWrites();
}

void FieldScene::placeSaved(int place, const std::string& problem) {
    if (!problem.empty()) {
        closeAfterSave = false;
        showNotice(problem);
        return;
    }
    const bool thenClose = closeAfterSave;
    closeShelf();
    showNotice(
        lang::fill(lang::tr("Saved in place {number}."), {{"number", std::to_string(place + 1)}}),
        false);
    if (thenClose) {
        quitWorkspace();
    }
}

void FieldScene::openContents(const FieldContents& contents) {
    if (!mayReplaceField()) {
        return;
    }
    watchField();
    layContents(contents);
    DeviceManager::getInstance()->dialect = contents.dialect;
    refreshDialect();
    watchField();
}

void FieldScene::openDroppedFile(const std::string& path) {
    if (!mayReplaceField() || shelfPopup != nullptr || questionPopup != nullptr) {
        showNotice(lang::tr("Finish what you are doing, then drop the file again."));
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
            i + 1 == answers.size(), step - 12.f);
    }
}
