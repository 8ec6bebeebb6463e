// The workspace layer: the field view with its 30 rows of two slots, the cards on the
// field and every operation on them (placing, snapping, clusters, row insert and delete).
// Depends on the engine, the catalogue, program generation's row type and the widgets.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "cocos2d.h"
#include "generation/ProgramBuilder.h"
#include "widgets/CardSprite.h"
#include "widgets/FieldScrollView.h"
#include "widgets/FieldScrollViewDelegate.h"

class FieldScene : public cocos2d::Layer, public FieldScrollViewDelegate {
public:
    // A row's two slots, left first.
    using FieldRow = std::array<CardSprite*, 2>;

    static constexpr int kRowCount = 30;
    // Attachment points closer than this link (strictly).
    static constexpr float kSnapReach = 30.f;
    // A held group leaves its slot once the pointer has drifted further than this.
    static constexpr float kHoldReach = 30.f;
    static constexpr float kRowMoveSeconds = 0.1f;
    static constexpr float kRemoveFadeSeconds = 0.2f;
    // Tag of the row-move actions, so a newer move replaces an older one.
    static constexpr int kRowMoveTag = 0x526f77;

    // The ready workspace layer (autoreleased), or nullptr when it cannot be built.
    CREATE_FUNC(FieldScene);
    ~FieldScene() override;
    // Builds the field view and its rows; false when the layer or a row picture fails.
    bool init() override;

    // --- field geometry and links ---
    // A node's local point (origin bottom left) in field coordinates.
    cocos2d::Vec2 toFieldSpace(const cocos2d::Node* node, const cocos2d::Vec2& localPoint) const;
    // Signed whole degrees between the directions of two connectors; none when either
    // direction is zero.
    std::optional<int> connectorAngle(const Connector& a, const Connector& b) const;
    // Moves dragGroup by delta (field units), holding it at heldSlot and snapping `card`
    // (a member of dragGroup) into a free slot within reach.
    void moveGroup(CardSprite* card, const cocos2d::Vec2& delta);
    // Links the card to the nearest free slot within reach, without moving it.
    void linkToNearestSlot(CardSprite* card);
    // Makes dragGroup the card and every card in occupied slots connected to its slot.
    void collectCluster(CardSprite* card);
    // Draws dragGroup above every other field card, its first card on top.
    void raiseGroup();

    // --- rows and cards ---
    // Empties row i and moves every card from it downward one row; row 29's cards go.
    void insertRow(int row);
    // Removes row i's cards and moves every card below it up one row.
    void deleteRow(int row);
    // Takes a card off the field: counter, list, links, and a short fade.
    void removeCard(CardSprite* card);
    // Shows a usage counter on its palette badge when its set is the current one.
    void refreshUsageBadge(int cardIndex, int cardSet);
    // Puts a new loose card of the catalogue on the field at a field position, as the
    // palette gesture does; nullptr (nothing changed) when a picture cannot load.
    CardSprite* addFieldCard(int cardSet, int cardIndex, const cocos2d::Vec2& fieldPosition);
    // The rows as program generation reads them: each slot's card identity or none.
    std::vector<std::vector<std::optional<CardId>>> programRows() const;

    // --- field state ---
    FieldScrollView* fieldView = nullptr;
    // The slot the drag group is held at, or none.
    CardSprite* heldSlot = nullptr;
    // Every card on the field, in creation order (retained).
    cocos2d::Vector<CardSprite*> fieldCards;
    // The cards that move together in the current gesture (retained).
    cocos2d::Vector<CardSprite*> dragGroup;
    // The palette's count labels, one per card of the current set (retained).
    cocos2d::Vector<cocos2d::LabelAtlas*> usageBadges;
    // [card set][card index]: copies of that card in fieldCards.
    std::vector<std::vector<int>> usageCounters;
    // Pointer motion gathered while the group is held.
    cocos2d::Vec2 holdDrift;
    // The 30 rows, top first; fixed after init.
    std::vector<FieldRow> fieldRows;

protected:
    FieldScene() = default;

private:
    struct SlotMatch {
        Connector* mine;
        Connector* theirs;
    };

    bool buildFieldView();
    bool buildFieldRows();
    cocos2d::EventListenerTouchOneByOne* makeRowButtonListener(bool insert);

    // The nearest pair (card connector, free slot connector) within reach, if it passes
    // the direction test.
    std::optional<SlotMatch> findNearestSlot(CardSprite* card) const;
    void link(Connector& mine, Connector& theirs);
    void detach(CardSprite* card);
    // Moves a card by delta, keeping it wholly inside the content.
    void moveClamped(CardSprite* card, const cocos2d::Vec2& delta);
    // Animates a card onto a slot's attachment point and links the two.
    void moveToSlot(CardSprite* card, CardSprite* slot);
    void emptySlotsOfRow(int row);
    void addToCluster(CardSprite* card);
    void raiseCard(CardSprite* card);
};
