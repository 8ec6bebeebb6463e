// The node of everything on the workspace that looks like a card: palette and field cards,
// slots, row heads, the play button. One picture, or two with a corner button that turns
// the card over. Depends on the engine only; knows nothing of the field or the catalogue.
#pragma once

#include <string>

#include "cocos2d.h"
#include "widgets/Connector.h"

class CardSprite : public cocos2d::Node {
public:
    // A node showing one picture, without a corner button; nullptr if it cannot load.
    static CardSprite* create(const std::string& frontImage);
    // A node with a front and a back picture; an empty back gives no corner button.
    // nullptr if a picture (front, back's corner button) cannot load.
    static CardSprite* create(const std::string& frontImage, const std::string& backImage);

    // Whether a touch location (world coordinates) lies in the node's bounding box mapped
    // to the world through its parent; the edges count as inside.
    static bool isTouchInside(const cocos2d::Node* node, const cocos2d::Vec2& location);

    ~CardSprite() override;
    // Writes the caption into the card's top band, on both sides, in the font: as large as
    // fits up to the band's size, smaller for a long word, on two lines when even the
    // smallest size is too wide for one. An empty text removes it.
    void setCaption(const std::string& text, const std::string& fontName);
    // The caption's label; nullptr while the card has none.
    cocos2d::Label* getCaption() const { return _caption; }
    // Where the caption must stay, in the card's own points.
    static cocos2d::Rect captionBand(const cocos2d::Size& cardSize);

    // Sets the opacity of the picture only; the node and the corner button keep theirs.
    void setOpacity(cocos2d::GLubyte opacity) override;
    // Tints the picture only.
    void setColor(const cocos2d::Color3B& color) override;

    // Second phase of creation: builds the picture and, with a back, the corner button.
    bool initWithImages(const std::string& front, const std::string& back);
    // The corner button, or nullptr for a one-picture node.
    cocos2d::Sprite* getCornerButton() const { return _cornerButton; }
    // A loose card lies lifted off the field, a little turned, with a shadow under it; a
    // card in a slot lies flat. Only the drawing changes: the node's box stays put.
    void setLoose(bool loose);
    bool isLoose() const { return _loose; }

    // Card identity within the catalogue; meaningless for slots, heads and buttons.
    int cardIndex = 0;
    int cardSet = 0;
    // The card's identity in the field's model; 0 for palette cards, ghosts and slots.
    int fieldHandle = 0;
    // The visible picture; it covers the node exactly while the card lies flat.
    cocos2d::Sprite* picture = nullptr;
    // True while the back is shown.
    bool flipped = false;
    std::string frontImage;
    std::string backImage;
    // Link data of the field: connector 0 attaches, connector 1 stays at the origin.
    Connector connectors[2];
    // Neighbouring slots in the field rows (none for cards).
    CardSprite* up = nullptr;
    CardSprite* left = nullptr;
    CardSprite* down = nullptr;
    CardSprite* right = nullptr;

protected:
    CardSprite();

private:
    bool onCornerTouchBegan(cocos2d::Touch* touch, cocos2d::Event* event);
    void onCornerTouchEnded(cocos2d::Touch* touch, cocos2d::Event* event);
    // Starts the turn to the side that `flipped` now names.
    void turnOver();

    cocos2d::Sprite* _cornerButton = nullptr;
    cocos2d::Label* _caption = nullptr;
    // Holds the picture, so lifting and turning leave the node's own
    // geometry, which the field's links and hit tests read, untouched.
    cocos2d::Node* _body = nullptr;
    // Made on first need: slots, heads and palette cards never lie loose.
    cocos2d::Sprite* _shadow = nullptr;
    bool _loose = false;
};
