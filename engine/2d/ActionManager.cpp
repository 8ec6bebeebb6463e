#include "2d/ActionManager.h"

#include <algorithm>

#include "2d/Action.h"
#include "2d/Node.h"

NS_CC_BEGIN

// Lifetime rules. The manager holds one reference to every action it runs and to every
// node that has actions. While update() steps, nothing is freed and no list shrinks: a
// removed action leaves an empty slot and its references are given back after the
// stepping. Outside update(), a removed action is released at once, but a node is only
// autoreleased: the call that removed its actions may be running on that very node.

ActionManager::ActionManager() {
    _entries.reserve(64);
    _releaseAfterUpdate.reserve(64);
    _releasing.reserve(64);
}

ActionManager::~ActionManager() {
    for (auto& entry : _entries) {
        for (Slot& slot : entry->slots) {
            if (slot.action != nullptr) {
                slot.action->stop();
                slot.action->release();
            }
        }
        entry->target->release();
    }
    releasePending();
}

ActionManager::Entry* ActionManager::findEntry(const Node* target) const {
    auto it = _byTarget.find(target);
    return it == _byTarget.end() ? nullptr : it->second;
}

void ActionManager::addAction(Action* action, Node* target, bool paused) {
    CCASSERT(action != nullptr, "addAction needs an action");
    CCASSERT(target != nullptr, "addAction needs a target");
    // A started action is bound to its node until it stops; clone it to run it twice.
    CCASSERT(action->getTarget() == nullptr, "the action is already running on a node");
    Entry* entry = findEntry(target);
    if (entry == nullptr) {
        auto created = std::make_unique<Entry>();
        created->target = target;
        created->paused = paused;
        created->slots.reserve(4);
        target->retain();
        entry = created.get();
        _byTarget.emplace(target, entry);
        _entries.push_back(std::move(created));
    }
    action->retain();
    entry->slots.push_back(Slot{action, _updating});
    ++entry->live;
    if (_updating) {
        entry->dirty = true;
        _needsCompaction = true;
    }
    action->startWithTarget(target);
}

void ActionManager::removeSlot(Entry& entry, std::size_t index) {
    Action* action = entry.slots[index].action;
    --entry.live;
    if (_updating) {
        entry.slots[index].action = nullptr;
        entry.dirty = true;
        _needsCompaction = true;
        action->stop();
        _releaseAfterUpdate.push_back(action);
    } else {
        entry.slots.erase(entry.slots.begin() + static_cast<std::ptrdiff_t>(index));
        action->stop();
        action->release();
    }
}

void ActionManager::removeEntryIfEmpty(Entry& entry) {
    if (entry.live > 0 || _updating) {
        return;  // during update() compact() takes empty entries away
    }
    Node* target = entry.target;
    _byTarget.erase(target);
    auto it = std::find_if(_entries.begin(), _entries.end(),
                           [&entry](const std::unique_ptr<Entry>& e) { return e.get() == &entry; });
    _entries.erase(it);
    target->autorelease();
}

void ActionManager::removeAllActionsFromTarget(Node* target) {
    Entry* entry = findEntry(target);
    if (entry == nullptr) {
        return;
    }
    for (std::size_t i = entry->slots.size(); i-- > 0;) {
        if (entry->slots[i].action != nullptr) {
            removeSlot(*entry, i);
        }
    }
    removeEntryIfEmpty(*entry);
}

void ActionManager::removeAllActions() {
    // Targets first: removing a target's last action may take its entry out of the list.
    std::vector<Node*> targets;
    targets.reserve(_entries.size());
    for (auto& entry : _entries) {
        targets.push_back(entry->target);
    }
    for (Node* target : targets) {
        removeAllActionsFromTarget(target);
    }
}

void ActionManager::removeAction(Action* action) {
    if (action == nullptr) {
        return;
    }
    Entry* entry = findEntry(action->getOriginalTarget());
    if (entry == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < entry->slots.size(); ++i) {
        if (entry->slots[i].action == action) {
            removeSlot(*entry, i);
            removeEntryIfEmpty(*entry);
            return;
        }
    }
}

void ActionManager::removeActionByTag(int tag, Node* target) {
    CCASSERT(tag != Action::INVALID_TAG, "removeActionByTag needs a valid tag");
    Entry* entry = findEntry(target);
    if (entry == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < entry->slots.size(); ++i) {
        Action* action = entry->slots[i].action;
        if (action != nullptr && action->getTag() == tag) {
            removeSlot(*entry, i);
            removeEntryIfEmpty(*entry);
            return;
        }
    }
}

Action* ActionManager::getActionByTag(int tag, const Node* target) const {
    CCASSERT(tag != Action::INVALID_TAG, "getActionByTag needs a valid tag");
    const Entry* entry = findEntry(target);
    if (entry == nullptr) {
        return nullptr;
    }
    for (const Slot& slot : entry->slots) {
        if (slot.action != nullptr && slot.action->getTag() == tag) {
            return slot.action;
        }
    }
    return nullptr;
}

ssize_t ActionManager::getNumberOfRunningActionsInTarget(const Node* target) const {
    const Entry* entry = findEntry(target);
    return entry == nullptr ? 0 : static_cast<ssize_t>(entry->live);
}

ssize_t ActionManager::getNumberOfRunningActions() const {
    std::size_t count = 0;
    for (const auto& entry : _entries) {
        if (!entry->paused) {
            count += entry->live;
        }
    }
    return static_cast<ssize_t>(count);
}

void ActionManager::pauseTarget(Node* target) {
    if (Entry* entry = findEntry(target)) {
        entry->paused = true;
    }
}

void ActionManager::resumeTarget(Node* target) {
    if (Entry* entry = findEntry(target)) {
        entry->paused = false;
    }
}

bool ActionManager::isTargetPaused(const Node* target) const {
    const Entry* entry = findEntry(target);
    return entry != nullptr && entry->paused;
}

void ActionManager::update(float dt) {
    CCASSERT(!_updating, "ActionManager::update called from inside an action");
    _updating = true;
    // Entries and slots added by the actions themselves land behind these bounds or are
    // marked fresh; removed ones stay in place as empty slots.
    const std::size_t entryCount = _entries.size();
    for (std::size_t e = 0; e < entryCount; ++e) {
        Entry& entry = *_entries[e];
        for (std::size_t i = 0; i < entry.slots.size() && !entry.paused; ++i) {
            const Slot slot = entry.slots[i];
            if (slot.action == nullptr || slot.fresh) {
                continue;
            }
            slot.action->step(dt);
            if (entry.slots[i].action == slot.action && slot.action->isDone()) {
                removeSlot(entry, i);
            }
        }
    }
    _updating = false;
    if (_needsCompaction) {
        compact();
    }
    releasePending();
}

void ActionManager::compact() {
    _needsCompaction = false;
    for (auto& entry : _entries) {
        if (!entry->dirty) {
            continue;
        }
        entry->dirty = false;
        auto& slots = entry->slots;
        slots.erase(std::remove_if(slots.begin(), slots.end(),
                                   [](const Slot& s) { return s.action == nullptr; }),
                    slots.end());
        for (Slot& slot : slots) {
            slot.fresh = false;
        }
        if (entry->live == 0) {
            _byTarget.erase(entry->target);
            _releaseAfterUpdate.push_back(entry->target);
        }
    }
    _entries.erase(std::remove_if(_entries.begin(), _entries.end(),
                                  [](const std::unique_ptr<Entry>& e) { return e->live == 0; }),
                   _entries.end());
}

void ActionManager::releasePending() {
    if (_releaseAfterUpdate.empty()) {
        return;
    }
    // Releasing can run destructors that call back into the manager; they find a fresh list.
    _releasing.swap(_releaseAfterUpdate);
    for (Ref* object : _releasing) {
        object->release();
    }
    _releasing.clear();
}

NS_CC_END
