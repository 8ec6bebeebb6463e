// Runs the actions of every node: steps each running action once per frame, in the order
// the nodes first got an action and then the order the actions were added, and drops the
// finished ones. Driven by the scheduler through update(dt); knows nodes only as Ref.
#pragma once

#include <cstddef>
#include <memory>
#include <unordered_map>
#include <vector>

#include <sys/types.h>  // ssize_t, as the counting operations return it

#include "base/Ref.h"

NS_CC_BEGIN

class Action;
class Node;

class ActionManager : public Ref {
public:
    ActionManager();
    ~ActionManager() override;
    ActionManager(const ActionManager&) = delete;
    ActionManager& operator=(const ActionManager&) = delete;

    // Starts the action on the target (its start values are captured now) and keeps it
    // until it is done or removed. `paused` applies when the target has no actions yet.
    // Added while actions are being stepped, it takes its first step in the next frame.
    void addAction(Action* action, Node* target, bool paused);
    // Drops every action of every target.
    void removeAllActions();
    // Drops every action of the target.
    void removeAllActionsFromTarget(Node* target);
    // Drops the action.
    void removeAction(Action* action);
    // Drops the target's first action with the tag.
    void removeActionByTag(int tag, Node* target);
    // The target's first action with the tag, or none.
    Action* getActionByTag(int tag, const Node* target) const;
    // Number of actions the target has, paused or not.
    ssize_t getNumberOfRunningActionsInTarget(const Node* target) const;
    // Number of actions of unpaused targets: those that need frames.
    ssize_t getNumberOfRunningActions() const;

    // Holds the target's actions still until resumeTarget.
    void pauseTarget(Node* target);
    // Lets the target's actions run again.
    void resumeTarget(Node* target);
    // True while the target has actions and they are paused.
    bool isTargetPaused(const Node* target) const;

    // Steps every running action once and drops those that are done (calling stop()).
    void update(float dt);

private:
    struct Slot {
        Action* action;  // nullptr once removed during update()
        bool fresh;      // added during update(): not stepped before the next frame
    };
    struct Entry {
        Node* target = nullptr;
        std::vector<Slot> slots;
        std::size_t live = 0;  // slots that hold an action
        bool paused = false;
        bool dirty = false;  // has empty or fresh slots to tidy after update()
    };

    Entry* findEntry(const Node* target) const;
    void removeSlot(Entry& entry, std::size_t index);
    void removeEntryIfEmpty(Entry& entry);
    void compact();
    void releasePending();

    // In order of each target's first action; an Entry stays where it is while it lives.
    std::vector<std::unique_ptr<Entry>> _entries;
    std::unordered_map<const Node*, Entry*> _byTarget;
    // Removed while stepping: released once the frame's stepping is over, so that nothing
    // in use is freed under it.
    std::vector<Ref*> _releaseAfterUpdate;
    std::vector<Ref*> _releasing;  // swapped with the list above; keeps its capacity
    bool _updating = false;
    bool _needsCompaction = false;
};

NS_CC_END
