// A node that shows one whole picture, placed by its centre. Its size is the picture's
// pixels divided by the content scale factor; its colour and opacity modulate the picture.
// Depends on Node, Texture2D and the renderer's quad command.
#pragma once

#include <string>

#include "2d/Node.h"
#include "renderer/QuadCommand.h"

NS_CC_BEGIN

class Texture2D;

class Sprite : public Node {
public:
    // A sprite with no picture yet.
    static Sprite* create();
    // A sprite showing the picture file; nullptr (after reporting) when it cannot load.
    static Sprite* create(const std::string& filename);
    // A sprite showing the texture.
    static Sprite* createWithTexture(Texture2D* texture);

    bool init() override;
    virtual bool initWithFile(const std::string& filename);
    virtual bool initWithTexture(Texture2D* texture);

    // Shows another picture file and takes its size; a picture that cannot load is
    // reported and the old one stays.
    virtual void setTexture(const std::string& filename);
    // Shows the texture and takes its size (nullptr: nothing is shown).
    virtual void setTexture(Texture2D* texture);
    virtual Texture2D* getTexture() const { return _texture; }

    void draw(Renderer* renderer, const Mat4& transform, std::uint32_t flags) override;

    ~Sprite() override;

protected:
    Sprite();

private:
    Texture2D* _texture = nullptr;  // one reference
    QuadCommand _quadCommand;
};

NS_CC_END
