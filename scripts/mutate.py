#!/usr/bin/env python3
"""Mutation check: does a test fail when a product line goes wrong in a way a user would notice?

Each mutation replaces one exact text in one file (found exactly once), rebuilds the test
programs that link the changed module in a build folder of its own, runs them headless (the
SDL drawing device's suite on a private Xvfb), stopping at the first failure, and puts the
file back, also on Ctrl+C. It prints
caught/total and the mutations no test noticed.

    scripts/mutate.py                 # every mutation
    scripts/mutate.py --list          # names and files only
    scripts/mutate.py --only NAME...  # a few by name
    scripts/mutate.py --check         # every text found once; builds nothing
"""

import argparse
import os
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

# (name, file, text, replacement). The name says what a user would notice.
MUTATIONS = [
    # catalogue
    ("kib-lines-end-without-return", "catalogue/CardTables.cpp",
     'lineTerminators = {"\\r\\n", "\\n"};', 'lineTerminators = {"\\n", "\\n"};'),
    ("kib-cards-joined-without-colon", "catalogue/CardTables.cpp",
     'separators = {":", ""};', 'separators = {";", ""};'),
    ("kib-typing-pace-too-fast", "catalogue/CardTables.cpp",
     "charWaitMs = {40, 5};", "charWaitMs = {4, 5};"),
    ("led-on-card-sends-led-off", "catalogue/cards.json",
     '"kib": "LED 1", "vemmo": "led(1);"', '"kib": "LED 0", "vemmo": "led(1);"'),
    ("wait-one-second-card-waits-two", "catalogue/cards.json",
     '"kib": "WAIT 60", "vemmo": "sleep(1000);"', '"kib": "WAIT 60", "vemmo": "sleep(2000);"'),
    ("kib-stop-key-is-not-escape", "catalogue/CardTables.cpp",
     'stopKeys = {"\\033", " "};', 'stopKeys = {"\\003", " "};'),
    ("kib-stop-pause-shortened", "catalogue/CardTables.cpp",
     "stopWaitMs = {500, 20};", "stopWaitMs = {50, 20};"),
    ("vemmo-script-end-lost", "catalogue/CardTables.cpp",
     '{{"while(uart()!=-1);\\n\\004", 2000, false}', '{{"while(uart()!=-1);\\n", 2000, false}'),
    ("saved-programs-call-vemmo-otherwise", "catalogue/Dialect.h",
     '"kib", "vemmo"};', '"kib", "vemo"};'),
    ("unknown-card-sends-garbage", "catalogue/DeviceManager.cpp",
     ': CodeSnippet{"", -1, true};', ': CodeSnippet{"?", -1, true};'),
    # generation
    ("field-has-twenty-nine-rows", "generation/TransferPlan.h",
     "constexpr int kFieldRowCount = 30;", "constexpr int kFieldRowCount = 29;"),
    ("line-numbers-off-by-one-row", "generation/TransferPlan.cpp",
     "    return 10 * (row + 1);", "    return 10 * (row + 2);"),
    ("terminator-pause-dropped", "generation/ProgramBuilder.cpp",
     "pause = addPause(pause, pacing::typingPauseMs(terminator.size(), charWaitMs));",
     "pause = addPause(pause, 0);"),
    ("save-and-script-end-pauses-typed", "generation/ProgramBuilder.cpp",
     "    if (snippet.waitMs >= 0) {", "    if (snippet.waitMs >= 1000000) {"),
    ("empty-rows-sent-as-blank-lines", "generation/ProgramBuilder.cpp",
     "        if (line.empty()) {\n            continue;\n        }\n",
     "        if (false) {\n            continue;\n        }\n"),
    ("typing-pause-counts-one-char-less", "generation/Pauses.cpp",
     "std::min<std::size_t>(length, INT_MAX)) * charWaitMs",
     "std::min<std::size_t>(length, INT_MAX) - 1) * charWaitMs"),
    ("tool-settle-second-halved", "generation/Pauses.h",
     "constexpr int kToolSettleMs = 1000;", "constexpr int kToolSettleMs = 500;"),
    ("board-error-marks-the-row-below", "generation/TransferPlan.cpp",
     "return source ? std::optional<int>(source->row) : std::nullopt;",
     "return source ? std::optional<int>(source->row + 1) : std::nullopt;"),
    ("stray-end-card-not-reported", "generation/LoopCheck.cpp",
     "problems.push_back({row, true});", "(void)row;"),
    # languages
    ("french-zero-cards-read-as-plural", "po/fr.po",
     '"Plural-Forms: nplurals=2; plural=(n > 1);\\n"',
     '"Plural-Forms: nplurals=2; plural=(n >= 1);\\n"'),
    ("plural-rule-greater-means-at-least", "lang/PluralRule.cpp",
     'if (node.op == ">")\n        return a > b ? 1 : 0;',
     'if (node.op == ">")\n        return a >= b ? 1 : 0;'),
    ("plural-rule-and-read-as-or", "lang/PluralRule.cpp",
     "return a != 0 && evaluate(node.b, n) != 0 ? 1 : 0;",
     "return a != 0 || evaluate(node.b, n) != 0 ? 1 : 0;"),
    ("plural-rule-choice-branches-swapped", "lang/PluralRule.cpp",
     "evaluate(node.a, n) != 0 ? evaluate(node.b, n) : evaluate(node.c, n);",
     "evaluate(node.a, n) != 0 ? evaluate(node.c, n) : evaluate(node.b, n);"),
    ("missing-message-shown-blank", "lang/Translate.cpp",
     "    const std::string* found = state->catalog.find(\"\", source);\n"
     "    return found != nullptr ? *found : source;",
     "    const std::string* found = state->catalog.find(\"\", source);\n"
     "    return found != nullptr ? *found : std::string();"),
    ("lang-overrules-lc-all", "lang/Languages.cpp",
     'for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {',
     'for (const char* name : {"LANG", "LC_MESSAGES", "LC_ALL"}) {'),
    ("catalogue-of-the-other-byte-order-refused", "lang/MessageCatalog.cpp",
     "const Reader read(bytes, magic == kMagicSwapped);", "const Reader read(bytes, false);"),
    ("language-choice-not-kept", "scene/FieldSceneLanguage.cpp",
     "if (!saveLanguageSetting(code, error)) {", "if (false) {"),
    ("kept-language-forgotten-at-start", "storage/LanguageSetting.cpp",
     "setting.language = language->get<std::string>();", "(void)language;"),
    ("damaged-settings-file-not-told", "storage/LanguageSetting.cpp",
     "    } catch (const std::exception&) {\n        setting.problem = damaged;\n    }",
     "    } catch (const std::exception&) {\n    }"),
    ("caption-runs-over-its-card", "widgets/CardSprite.cpp",
     "    while (label->getContentSize().width > band.size.width && size > kCaptionSmallest) {\n"
     "        size = std::max(kCaptionSmallest,\n"
     "                        std::floor(size * band.size.width / label->getContentSize().width));\n"
     "        label->setSystemFontSize(size);\n"
     "    }\n"
     "    if (label->getContentSize().width > band.size.width) {\n",
     "    (void)size;\n    if (false) {\n"),
    ("long-caption-cut-off-below-its-first-line", "widgets/CardSprite.cpp",
     "    while (label->getContentSize().width > band.size.width && size > kCaptionSmallest) {",
     "    while (false) {"),
    ("long-shelf-buttons-overlap", "scene/FieldSceneShelf.cpp",
     "    if (room > 0.f && wide > room) {", "    if (false) {"),
    ("field-captions-stay-in-the-old-language", "scene/FieldSceneLanguage.cpp",
     "    for (CardSprite* card : fieldCards) {\n        writeCaption(card);\n    }\n", ""),
    ("notice-stays-in-the-old-language", "scene/FieldSceneLanguage.cpp",
     "    rewordNotice(*before);\n", ""),
    ("notice-shown-anew-when-the-language-changes", "scene/FieldSceneLanguage.cpp",
     "    strip->setText(lang::reword(strip->getText(), before, *lang::currentCatalog()));",
     "    showNotice(lang::reword(strip->getText(), before, *lang::currentCatalog()));\n"
     "    return;"),
    ("reason-inside-a-notice-stays-in-the-old-language", "lang/Reword.cpp",
     "value.second = rewordAt(value.second, from, to, depth + 1);", "(void)depth;"),
    ("notice-of-many-cards-reworded-as-one", "lang/Reword.cpp",
     "const std::string* form = to.findPlural(source, count);",
     "const std::string* form = to.findPlural(source, 1);"),
    ("any-notice-with-two-spaces-reworded-as-a-date", "lang/Reword.cpp",
     "letters += std::isalpha(byte) != 0 || byte >= 0xC0 ? 1 : 0;",
     "letters += byte != 0 ? 1 : 0;"),
    ("simulator-hint-runs-over-the-car", "simulator/BoardPanel.cpp",
     "hint->setAnchorPoint(Vec2::ANCHOR_MIDDLE_RIGHT);\n    look::place(this, hint, 280, 222);",
     "hint->setAnchorPoint(Vec2::ANCHOR_MIDDLE);\n    look::place(this, hint, 230, 222);"),
    ("board-button-hides-the-version-label", "scene/FieldSceneAnswers.cpp",
     "const float lift = settingsBarOpen ? -kSettingsClosedY : 0.f;", "const float lift = 0.f;"),
    # storage
    ("saved-rows-numbered-from-zero", "storage/ProgramFile.cpp",
     'rows.push_back(OrderedJson{{"row", r + 1}', 'rows.push_back(OrderedJson{{"row", r}'),
    ("newer-file-read-as-ours", "storage/ProgramFile.cpp",
     "if (*version > kProgramFormatVersion) {", "if (*version > kProgramFormatVersion + 1) {"),
    ("place-files-numbered-from-zero", "storage/ProgramShelf.cpp",
     '"place-%02d.json", place + 1);', '"place-%02d.json", place);'),
    ("program-file-size-limit-halved", "storage/ProgramFile.h",
     "constexpr std::size_t kMaxProgramFileBytes = 1024 * 1024;",
     "constexpr std::size_t kMaxProgramFileBytes = 512 * 1024;"),
    ("program-file-of-exactly-the-limit-refused", "storage/ProgramFile.cpp",
     "if (text.size() > kMaxProgramFileBytes) {", "if (text.size() >= kMaxProgramFileBytes) {"),
    ("shelf-holds-eleven-places", "storage/ProgramShelf.h",
     "static constexpr int kPlaceCount = 12;", "static constexpr int kPlaceCount = 11;"),
    ("save-never-replaces-old-file", "storage/posix/UserFiles.cpp",
     "if (failure == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) {",
     "if (failure == 0 && ::unlink(temporary.c_str()) != 0) {"),
    # devicelink
    ("chunk-pause-skipped-on-port", "devicelink/ZundleCardSerialData.cpp",
     "std::chrono::milliseconds(std::max(chunk.waitMs, 0));",
     "std::chrono::milliseconds(0);"),
    ("chunk-count-jumps-by-two", "devicelink/ZundleCardSerialData.cpp",
     "        if (onChunkSent) {\n            onChunkSent(++sent);\n        }\n        // Counted",
     "        if (onChunkSent) {\n            onChunkSent(sent += 2);\n        }\n        // Counted"),
    ("answers-of-an-earlier-play-kept", "devicelink/BoardInbox.cpp",
     "    if (number != _transfer) {", "    if (number != _transfer && number < 0) {"),
    ("board-flood-held-unbounded", "devicelink/BoardInbox.cpp",
     "    if (_bytes.size() > kHeldBytes) {", "    if (_bytes.size() > 1000 * kHeldBytes) {"),
    ("echo-shown-as-answer", "devicelink/EchoCheck.cpp",
     "    if (line == _sent[_next] || withoutReplacements(line) == _sent[_next]) {",
     "    if (withoutReplacements(line) == _sent[_next] + \" \") {"),
    ("board-lines-from-before-play-blamed", "devicelink/posix/SerialPort.cpp",
     "    ::tcflush(fd, TCIFLUSH);\n", "\n"),
    ("error-row-number-off-by-one", "devicelink/AnswerLines.cpp",
     "return std::stoi(text.substr(from, end - from));",
     "return std::stoi(text.substr(from, end - from)) + 1;"),
    ("silent-board-called-silent-late", "devicelink/EchoCheck.h",
     "static constexpr double kAnswerWithin = 1.0;", "static constexpr double kAnswerWithin = 3.0;"),
    ("port-held-through-stop", "devicelink/ZundleCardSerialManager.cpp",
     "    releaseLink();\n    _lastListenFailure = TransferFailure();",
     "    _lastListenFailure = TransferFailure();"),
    ("remembered-board-chosen-by-kind-alone", "devicelink/BoardIdentity.cpp",
     "        if (!serial.empty() && entry->serialNumber == serial) {",
     "        if (!serial.empty()) {"),
    ("port-set-to-two-stop-bits", "devicelink/posix/SerialPort.cpp",
     "settings.c_cflag &= ~static_cast<tcflag_t>(PARENB | CSTOPB | CRTSCTS);",
     "settings.c_cflag &= ~static_cast<tcflag_t>(PARENB | CRTSCTS);\n    settings.c_cflag |= CSTOPB;"),
    ("busy-port-not-refused", "devicelink/posix/SerialPort.cpp",
     "const bool claimed = ::flock(fd, LOCK_EX | LOCK_NB) != 0 ||",
     "const bool claimed = (::flock(fd, LOCK_EX | LOCK_NB), false) ||"),
    ("model-name-keeps-underscores", "devicelink/posix/UdevModel.cpp",
     "std::replace(model.begin(), model.end(), '_', ' ');", "(void)0;"),
    ("tools-listed-out-of-name-order", "devicelink/ToolOrder.cpp",
     "return foldedA != foldedB ? foldedA < foldedB : a.name < b.name;",
     "return a.name < b.name;"),
    ("own-uart-listed-before-tools", "devicelink/DeviceDiscovery.cpp",
     "    appendPorts(ports, false, devices);\n    findTransferTools(devices);\n",
     "    appendPorts(ports, true, devices);\n    findTransferTools(devices);\n"),
    ("busy-port-failure-not-named", "devicelink/TransferFailure.cpp",
     '{{"port", name},\n                 {"program", detail.empty()',
     '{{"port", ""},\n                 {"program", detail.empty()'),
    ("tool-ending-with-status-1-counts-as-sent", "devicelink/posix/ToolProcess.cpp",
     "WIFEXITED(status) && WEXITSTATUS(status) != 0) {",
     "WIFEXITED(status) && WEXITSTATUS(status) > 1) {"),
    ("tool-error-reason-loses-its-status", "devicelink/TransferFailure.cpp",
     '"The tool {tool} reported an error{because}."', '"The tool {tool} reported an error."'),
    ("tool-stopped-reason-loses-its-signal", "devicelink/TransferFailure.cpp",
     '"The tool {tool} was stopped before it had finished{because}."',
     '"The tool {tool} was stopped before it had finished."'),
    ("write-fails-on-interrupted-call", "devicelink/posix/WriteAll.cpp",
     "        if (written < 0 && errno == EINTR) {", "        if (written < 0 && errno == 0) {"),
    # widgets
    ("drag-starts-without-threshold", "widgets/FieldScrollView.cpp",
     "if (std::fabs(inches) < kDragThresholdInches) {", "if (std::fabs(inches) < 0.f) {"),
    ("coast-never-slows", "widgets/FieldScrollView.cpp",
     "        velocity *= kFriction;\n", "        velocity *= 1.f;\n"),
    ("drag-past-bounds-undamped", "widgets/FieldScrollView.cpp",
     "            step.y *= kOutOfBoundsDamping;", "            step.y *= 1.f;"),
    ("glide-overshoots-bounds", "widgets/FieldScrollView.cpp",
     "MoveTo::create(duration, limitY(offset))", "MoveTo::create(duration, offset)"),
    ("field-coasts-shorter-after-flick", "widgets/FieldScrollView.cpp",
     "constexpr float kFriction = 0.96f;", "constexpr float kFriction = 0.93f;"),
    ("flick-throws-field-farther", "widgets/FieldScrollView.cpp",
     "constexpr float kFlickShare = 0.5f;", "constexpr float kFlickShare = 0.6f;"),
    ("loose-card-lies-straight", "widgets/CardSprite.cpp",
     "_body->setRotation(loose ? kLooseTurnDegrees : 0.f);", "_body->setRotation(0.f);"),
    # scene
    ("snap-reach-widened", "scene/FieldScene.h",
     "static constexpr float kSnapReach = 30.f;", "static constexpr float kSnapReach = 60.f;"),
    ("hold-reach-narrowed", "scene/FieldScene.h",
     "static constexpr float kHoldReach = 30.f;", "static constexpr float kHoldReach = 10.f;"),
    ("wheel-notch-scrolls-twice-as-far", "scene/FieldScenePalette.cpp",
     "constexpr float kWheelStep = 10.f;", "constexpr float kWheelStep = 20.f;"),
    ("palette-arrow-pages-half-as-far", "scene/FieldScenePalette.cpp",
     "constexpr float kPageStep = 300.f;", "constexpr float kPageStep = 150.f;"),
    ("field-zooms-out-past-half-size", "scene/FieldScene.cpp",
     "constexpr float kMinZoom = 0.5f;", "constexpr float kMinZoom = 0.4f;"),
    ("field-zooms-in-past-whole-size", "scene/FieldScene.cpp",
     "constexpr float kMaxZoom = 1.f;", "constexpr float kMaxZoom = 1.5f;"),
    ("middle-button-zooms-out-less", "scene/FieldScenePalette.cpp",
     "constexpr float kZoomedOut = 0.5f;", "constexpr float kZoomedOut = 0.6f;"),
    ("undo-right-after-a-change-skips-it", "scene/FieldSceneHistory.cpp",
     "    watchField();\n    if (const FieldContents* step",
     "    if (const FieldContents* step"),
    ("undo-acts-behind-the-shelf", "scene/FieldSceneHistory.cpp",
     "    return !isFieldBusy() && shelfPopup == nullptr && questionPopup == nullptr;",
     "    return !isFieldBusy();"),
    ("stale-place-saved-over-without-asking", "scene/FieldSceneShelf.cpp",
     "[this, place]() { askBeforeSaving(place); }", "[this, place]() { saveIntoPlace(place); }"),
    ("new-run-writes-over-the-last-runs-work", "storage/ProgramShelf.cpp",
     "    _ownWork = userfiles::join(_folder, ownWorkName());",
     "    _ownWork = userfiles::join(_folder, ownWorkName().substr(0, 9) + \".json\");"),
    ("cut-short-save-never-recovered", "storage/ProgramShelf.cpp",
     "        if (!(whole && newer && userfiles::moveOver(temporary, file))) {",
     "        if (!(whole && newer && false)) {"),
    ("slow-disk-writes-every-old-text", "storage/BackgroundWriter.cpp",
     "        if (request.path == path) {", "        if (request.path == path && false) {"),
    ("press-through-a-popup-reaches-the-workspace", "scene/Popup.cpp",
     "    listener->setSwallowTouches(true);", "    listener->setSwallowTouches(false);"),
    ("press-on-the-shelf-panel-closes-it", "scene/Popup.cpp",
     "return framed(area).containsPoint(point);",
     "return framed(area).containsPoint(point + cocos2d::Vec2(2000.f, 0.f));"),
    ("closing-popup-buttons-still-answer", "scene/Popup.cpp",
     "dispatcher->removeEventListenersForTarget(popup, true);",
     "dispatcher->removeEventListenersForTarget(popup, false);"),
    ("undo-keeps-only-fifty-steps", "scene/FieldHistory.h",
     "static constexpr std::size_t kSteps = 100;", "static constexpr std::size_t kSteps = 50;"),
    ("notices-vanish-after-three-seconds", "scene/FieldSceneRun.cpp",
     "constexpr float kNoticeSeconds = 6.f;", "constexpr float kNoticeSeconds = 3.f;"),
    ("cluster-picked-up-at-once", "scene/FieldScenePress.cpp",
     "constexpr float kClusterSeconds = 0.3f;", "constexpr float kClusterSeconds = 0.05f;"),
    ("last-work-kept-five-seconds-late", "scene/FieldSceneKeeping.cpp",
     "constexpr float kKeepSeconds = 1.f;", "constexpr float kKeepSeconds = 5.f;"),
    ("row-numbers-shown-from-zero", "scene/FieldSceneRows.cpp",
     "LabelAtlas::create(std::to_string(lineNumberOfRow(i)), kLineDigits,",
     "LabelAtlas::create(std::to_string(lineNumberOfRow(i - 1)), kLineDigits,"),
    ("inserted-row-loses-last-row-cards", "model/FieldModel.cpp",
     "    for (int r = kRowCount - 1; r > row; --r) {", "    for (int r = kRowCount - 1; r > row + 1; --r) {"),
    ("usage-badge-not-lowered-on-removal", "scene/FieldSceneCards.cpp",
     "    fieldModel.remove(card->fieldHandle);\n    refreshUsageBadge(card->cardIndex, card->cardSet);",
     "    fieldModel.remove(card->fieldHandle);"),
    ("loose-card-warning-miscounted", "scene/FieldSceneRun.cpp",
     '    if (looseCards > 0) {', '    if (looseCards > 1) {'),
    ("stop-sends-only-the-key", "scene/FieldSceneRun.cpp",
     "        *this, stop,\n",
     "        *this, TransferPlan{{stop.chunks.front()}, stop.target, stop.numbered},\n"),
    ("progress-line-forgets-tool-second", "generation/TransferPlan.cpp",
     "return pacing::quietAfterChunks(pauses, target == TargetKind::Tool);",
     "return pacing::quietAfterChunks(pauses, false);"),
    ("tool-planned-as-a-port", "scene/FieldSceneRun.cpp",
     "return ZundleCardSerialManager::getInstance()->chosenKind().value_or(TargetKind::SerialPort);",
     "return TargetKind::SerialPort;"),
    ("transfer-failure-reason-dropped", "devicelink/ZundleCardSerialManager.cpp",
     "const TransferResult result = std::move(_sendResult);",
     "const TransferResult result{_sendResult.whole, {}};"),
    ("progress-says-zero-seconds-left", "scene/TransferProgress.cpp",
     "std::to_string((left + 999) / 1000)", "std::to_string(left / 1000)"),
    ("tap-turns-into-drag-at-once", "scene/FieldScenePlacement.cpp",
     "constexpr float kDecisionDistance = 2.f;", "constexpr float kDecisionDistance = 0.f;"),
    ("lit-row-is-the-one-below-the-running-line", "scene/FieldSceneAnswers.cpp",
     "rowHeads[static_cast<std::size_t>(*row)]->setColor(kRunningGreen);",
     "rowHeads[static_cast<std::size_t>(*row + 1)]->setColor(kRunningGreen);"),
    ("running-row-stays-lit-after-stop", "scene/FieldSceneRun.cpp",
     "    unmarkErrorRow();\n    lightRunningRow(std::nullopt);\n",
     "    unmarkErrorRow();\n"),
    ("workspace-never-makes-room-for-the-simulator", "scene/WorkspacePlace.cpp",
     "        window->moveScreenFrame(moved->x, moved->y);", "        (void)moved;"),
    ("maximised-workspace-moved-for-the-simulator", "scene/WorkspacePlace.cpp",
     "if (fillsDisplay || !standsWhereTold", "if ((fillsDisplay && false) || !standsWhereTold"),
    ("workspace-place-wrong-order", "scene/WorkspacePlace.cpp",
     'return std::to_string(rect.x) + "," + std::to_string(rect.y) + ","',
     'return std::to_string(rect.y) + "," + std::to_string(rect.x) + ","'),
    ("tool-echo-shown-as-answer", "scene/FieldSceneAnswers.cpp",
     "talk.check = EchoCheck(plan.numbered, !toTool);",
     "talk.check = EchoCheck(plan.numbered && !toTool, !toTool);"),
    ("repeated-board-error-told-every-line", "scene/FieldSceneAnswers.cpp",
     "named.emplace(*row, error->message);", "markErrorRow(*row, error->message);"),
    ("board-flood-kept-unread-unbounded", "scene/FieldSceneAnswers.cpp",
     "if (talk.unread.size() > BoardInbox::kHeldBytes) {",
     "if (talk.unread.size() > 1000 * BoardInbox::kHeldBytes) {"),
    # engine
    ("equal-z-order-drawn-newest-first", "engine/2d/Node.cpp",
     "return l->_orderOfArrival < r->_orderOfArrival;", "return l->_orderOfArrival > r->_orderOfArrival;"),
    ("touches-reach-bottom-node-first", "engine/base/EventDispatcher.cpp",
     "return order.at(a->_node) > order.at(b->_node);", "return order.at(a->_node) < order.at(b->_node);"),
    ("ease-out-runs-linear", "engine/2d/ActionEase.cpp",
     "return t >= 1.f ? 1.f : 1.f - std::pow(2.f, -10.f * t);", "return t;"),
    ("sequence-skips-ahead-early", "engine/2d/ActionInterval.cpp",
     "if (t < 1.f && time + kTimeTolerance < end) {", "if (t < 1.f && time + 0.05 < end) {"),
    ("pictures-kept-twice-in-memory", "engine/renderer/Texture2D.cpp",
     "std::vector<std::uint8_t>().swap(_bitmap.rgba);", "(void)0;"),
    ("pictures-lost-in-a-new-window", "engine/renderer/Texture2D.cpp",
     "if (_bitmap.rgba.empty() && !(_again && _again(_bitmap))) {",
     "if (_bitmap.rgba.empty()) {"),
    ("label-text-kept-twice-in-memory", "engine/2d/Label.cpp",
     "texture->setPixelSource([request]", "backend::PixelSource([request]"),
    ("label-text-lost-in-a-new-window", "engine/2d/Label.cpp",
     "return backend::renderText(request, out, ignored);",
     "return false && backend::renderText(request, out, ignored);"),
    ("enlarged-pictures-drawn-blurred-from-their-half-size", "engine/platform/sdl/SdlRenderDevice.cpp",
     "    if (entry.texture != nullptr || !entry.again)",
     "    if (true)"),
    ("start-slow-and-heavy-on-a-virtual-display", "engine/platform/sdl/posix/SdlSystemWindow.cpp",
     'for (const char* direct : {"DRI3", "DRI2", "NV-GLX"})',
     'for (const char* direct : {"DRI3", "DRI2", "GLX"})'),
    ("start-slow-and-heavy-without-a-graphics-chip", "engine/platform/sdl/SdlWindowView.cpp",
     "openGlWouldDrawOnTheProcessor(window))", "openGlWouldDrawOnTheProcessor(window) && false)"),
    ("timer-fires-a-frame-late", "engine/base/Scheduler.cpp",
     "} else if (timer.elapsed + kTimeTolerance >= timer.interval) {",
     "} else if (timer.elapsed + kTimeTolerance > timer.interval + 0.02) {"),
    # the hand-off between the workspace and the tools it starts
    ("tools-told-the-workspace-place-under-another-name", "handoff/WorkspaceHandOff.h",
     'kFrameVariable[] = "ZC_WORKSPACE_FRAME";', 'kFrameVariable[] = "ZC_WORKSPACE_AREA";'),
    # simulator
    ("kib-wait-counts-hundredths", "simulator/KibInterpreter.cpp",
     "* 1000 + 30) / 60;", "* 1000 + 50) / 100;"),
    ("escape-does-not-stop-kib", "simulator/Board.cpp",
     "_stopping = whole.front() == '\\033' || whole.front() == ' ';",
     "_stopping = whole.front() == ' ';"),
    ("vemmo-end-of-script-unseen", "simulator/VemmoInterpreter.cpp",
     "constexpr char kEndOfTransmission = '\\x04';", "constexpr char kEndOfTransmission = '\\x03';"),
    ("car-drives-through-walls", "simulator/CarModel.cpp",
     "_x = std::clamp(_x + speed * dt * std::sin(_heading), reach, kArenaSize - reach);",
     "_x = _x + speed * dt * std::sin(_heading);"),
    ("compact-simulator-wider-than-the-room", "simulator/SimulatorLook.h",
     "kCompactWidth = 330.f;", "kCompactWidth = 350.f;"),
    ("simulator-opens-over-the-workspace-that-made-room", "simulator/WindowPlacement.cpp",
     "far.x = moveBy < 0 ? display->right() - compact.w : display->x;",
     "far.x = moveBy > 0 ? display->right() - compact.w : display->x;"),
    ("windows-transfer-cut-after-its-first-piece", "simulator/TransferFrames.h",
     "_ended = _length == 0;", "_ended = true;"),
    ("kib-error-names-the-next-line", "simulator/KibInterpreter.cpp",
     'name + " in " + std::to_string(line)', 'name + " in " + std::to_string(line + 1)'),
    ("vemmo-error-names-the-line-before", "simulator/VemmoInterpreter.cpp",
     '"Error in line " + std::to_string(line)', '"Error in line " + std::to_string(line - 1)'),
    ("running-line-reported-one-late", "simulator/SimulatorScene.cpp",
     "said += handoff::kRunningLineMark + std::to_string(running)",
     "said += handoff::kRunningLineMark + std::to_string(running + 1)"),
    ("tool-instance-never-told-the-answers-are-over", "simulator/SimulatorScene.cpp",
     "const bool over = _arriving.empty() &&", "const bool over = false &&"),
]

# Which test programs link each module, its own first (most likely to fail first).
SUITES = {
    "catalogue": ["catalogue_tests", "generation_tests", "widgets_tests", "storage_tests",
                  "scene_tests"],
    "generation": ["generation_tests", "devicelink_tests", "storage_tests", "scene_tests"],
    "storage": ["storage_tests", "scene_tests"],
    "devicelink": ["devicelink_tests", "scene_tests"],
    "widgets": ["widgets_tests", "scene_tests"],
    "model": ["model_tests", "scene_tests"],
    "scene": ["scene_tests"],
    "engine": ["engine_tests", "sdl_backend_tests", "widgets_tests", "simulator_tests",
               "scene_tests", "devicelink_tests", "catalogue_tests", "generation_tests",
               "storage_tests"],
    "simulator": ["simulator_tests"],
    "lang": ["lang_tests", "storage_tests", "scene_tests"],
    "po": ["lang_tests"],
    # The SDL drawing device is seen only on a display: its suite runs on a private Xvfb.
    "engine/platform/sdl": ["sdl_window_tests"],
    "handoff": ["scene_tests", "simulator_tests"],
}
WINDOW_PROGRAMS = {"sdl_window_tests"}


def suites_for(rel):
    """The suites of the deepest folder of rel that has its own, else of its module."""
    folder = max((key for key in SUITES if rel.startswith(key + "/")), key=len,
                 default=rel.split("/")[0])
    return SUITES.get(folder, [])

# A mutation that hangs a program counts as caught once this has passed.
PROGRAM_TIMEOUT = 900


def program_path(build, name):
    for sub in (Path("tests") / name.split("_")[0], Path("tests") / "app"):
        candidate = build / sub / name
        if candidate.exists():
            return candidate
    found = list(build.glob(f"tests/**/{name}"))
    return found[0] if found else build / "tests" / name


def run(cmd, log, timeout=None, cwd=None):
    """Runs cmd in its own process group; True when it succeeds. A timeout kills the group."""
    with open(log, "ab") as out:
        out.write(("\n$ " + " ".join(str(c) for c in cmd) + "\n").encode())
        out.flush()
        proc = subprocess.Popen(cmd, stdout=out, stderr=subprocess.STDOUT, cwd=cwd,
                                start_new_session=True)
        try:
            return proc.wait(timeout=timeout) == 0
        except subprocess.TimeoutExpired:
            out.write(b"\n(timed out)\n")
            return False
        finally:
            if proc.poll() is None:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait()


def configure(build, log):
    if (build / "build.ninja").exists():
        return True
    return run(["cmake", "-S", ROOT, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                "-DZC_WERROR=ON", "-DZC_BUILD_BENCH=OFF"], log)


class Mutated:
    """The file with its one text replaced, put back on leaving whatever happens."""

    def __init__(self, path, text, replacement):
        self.path, self.text, self.replacement = path, text, replacement
        self.original = None

    def __enter__(self):
        self.original = self.path.read_bytes()
        self.path.write_bytes(self.original.replace(self.text.encode(), self.replacement.encode()))
        return self

    def __exit__(self, *exc):
        self.path.write_bytes(self.original)
        return False


def check(mutations):
    problems = []
    for name, rel, text, replacement in mutations:
        path = ROOT / rel
        if not path.exists():
            problems.append(f"{name}: {rel} does not exist")
            continue
        count = path.read_text().count(text)
        if count != 1:
            problems.append(f"{name}: text found {count} times in {rel}")
        if not suites_for(rel):
            problems.append(f"{name}: no suites known for {rel}")
    names = [m[0] for m in mutations]
    for dup in sorted({n for n in names if names.count(n) > 1}):
        problems.append(f"{dup}: name used twice")
    return problems


def try_mutation(mutation, build, log):
    """'caught by PROGRAM', 'survived', or 'broken' when the change does not build (a fault
    of the list, not a catch)."""
    name, rel, text, replacement = mutation
    programs = suites_for(rel)
    with Mutated(ROOT / rel, text, replacement):
        if not run(["ninja", "-C", build, "-j2", *programs], log):
            return "broken: does not build"
        for program in programs:
            path = program_path(build, program)
            if not path.exists():
                continue
            cmd = [path, "--gtest_fail_fast", "--gtest_brief=1"]
            if program in WINDOW_PROGRAMS:
                cmd = [sys.executable, ROOT / "tests" / "app" / "xvfb_run.py", *cmd]
            if not run(cmd, log, timeout=PROGRAM_TIMEOUT, cwd=ROOT):
                return f"caught by {program}"
    return "survived"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=str(ROOT / "build-mutate"),
                        help="build folder of its own (default: build-mutate)")
    parser.add_argument("--only", nargs="+", metavar="NAME", help="run these mutations only")
    parser.add_argument("--list", action="store_true", help="list the mutations and stop")
    parser.add_argument("--check", action="store_true",
                        help="check that every text is found once, and stop")
    parser.add_argument("--log", default=None, help="build and test output (default: in the build folder)")
    args = parser.parse_args()

    mutations = MUTATIONS
    if args.only:
        unknown = set(args.only) - {m[0] for m in MUTATIONS}
        if unknown:
            sys.exit("unknown mutation: " + ", ".join(sorted(unknown)))
        mutations = [m for m in MUTATIONS if m[0] in args.only]
    # Modules in turn, so that a run cut short has still tried each of them.
    by_module = {}
    for m in mutations:
        by_module.setdefault(m[1].split("/")[0], []).append(m)
    queues = list(by_module.values())
    mutations = [q[i] for i in range(max(map(len, queues))) for q in queues if i < len(q)]
    if args.list:
        for name, rel, _, _ in mutations:
            print(f"{name:40} {rel}")
        print(f"{len(mutations)} mutations")
        return 0
    problems = check(mutations)
    if problems or args.check:
        print("\n".join(problems) or f"{len(mutations)} mutations, every text found once")
        return 1 if problems else 0

    build = Path(args.build).resolve()
    build.mkdir(parents=True, exist_ok=True)
    log = Path(args.log) if args.log else build / "mutate.log"
    # Ctrl+C and a kill become an exception, so the file is put back on the way out.
    signal.signal(signal.SIGTERM, lambda *_: (_ for _ in ()).throw(KeyboardInterrupt()))
    if not configure(build, log):
        sys.exit(f"cmake failed; see {log}")
    every = sorted({p for m in mutations for p in suites_for(m[1])})
    print(f"building the unchanged suites in {build} ...", flush=True)
    if not run(["ninja", "-C", build, "-j2", *every], log):
        sys.exit(f"the unchanged tree does not build; see {log}")

    survivors, broken, caught = [], [], 0
    try:
        for i, mutation in enumerate(mutations, 1):
            started = time.monotonic()
            result = try_mutation(mutation, build, log)
            caught += result.startswith("caught")
            if result == "survived":
                survivors.append(mutation)
            elif result.startswith("broken"):
                broken.append(mutation)
            print(f"[{i}/{len(mutations)}] {mutation[0]}: {result} "
                  f"({time.monotonic() - started:.0f} s)", flush=True)
    except KeyboardInterrupt:
        print("\ninterrupted; the file was put back", flush=True)
        mutations = mutations[:i - 1]

    print(f"\ncaught {caught}/{len(mutations)}")
    for name, rel, _, _ in survivors:
        print(f"  survived: {name} ({rel})")
    for name, rel, _, _ in broken:
        print(f"  does not build: {name} ({rel})")
    return 0 if not survivors and not broken else 2


if __name__ == "__main__":
    sys.exit(main())
