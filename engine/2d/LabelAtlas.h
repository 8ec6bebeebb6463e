// Text drawn from a character sheet: a picture of equal cells, one per character, in
// character order from startCharMap, left to right and then down. Each character takes
// one cell of itemWidth x itemHeight points. Placed by its bottom-left corner.
// Depends on Node and Texture2D.
#pragma once

#include <string>
#include <vector>

#include "2d/Node.h"
#include "renderer/QuadCommand.h"

NS_CC_BEGIN

class Texture2D;

class LabelAtlas : public Node {
public:
    // A label on the sheet; nullptr (after reporting) when the sheet cannot load.
    static LabelAtlas* create(const std::string& string, const std::string& charMapFile,
                              int itemWidth, int itemHeight, int startCharMap);

    bool initWithString(const std::string& string, const std::string& charMapFile, int itemWidth,
                        int itemHeight, int startCharMap);

    // Shows another text; the size becomes (characters x item width, item height).
    virtual void setString(const std::string& string);
    virtual const std::string& getString() const { return _string; }

    Texture2D* getTexture() const { return _texture; }

    void draw(Renderer* renderer, const Mat4& transform, std::uint32_t flags) override;

    ~LabelAtlas() override;

protected:
    LabelAtlas() = default;

private:
    std::string _string;
    Texture2D* _texture = nullptr;  // one reference
    int _itemWidth = 0;
    int _itemHeight = 0;
    int _startCharMap = 0;
    std::vector<QuadCommand> _quadCommands;
};

NS_CC_END
