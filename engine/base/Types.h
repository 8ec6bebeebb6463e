// Colour records and text alignments shared by nodes, labels and the renderer.
// Plain value types; depends only on Macros.h.
#pragma once

#include <cstdint>

#include "base/Macros.h"

NS_CC_BEGIN

using GLubyte = std::uint8_t;

struct Color4B;
struct Color4F;

// Opaque colour, 8 bits a channel.
struct Color3B {
    GLubyte r = 0, g = 0, b = 0;

    constexpr Color3B() = default;
    constexpr Color3B(GLubyte rr, GLubyte gg, GLubyte bb) : r(rr), g(gg), b(bb) {}
    explicit Color3B(const Color4B& c);
    explicit Color3B(const Color4F& c);

    bool operator==(const Color3B& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Color3B& o) const { return !(*this == o); }
    bool equals(const Color3B& o) const { return *this == o; }

    static const Color3B WHITE;
    static const Color3B YELLOW;
    static const Color3B BLUE;
    static const Color3B GREEN;
    static const Color3B RED;
    static const Color3B MAGENTA;
    static const Color3B BLACK;
    static const Color3B ORANGE;
    static const Color3B GRAY;
};

// Colour with opacity, 8 bits a channel.
struct Color4B {
    GLubyte r = 0, g = 0, b = 0, a = 0;

    constexpr Color4B() = default;
    constexpr Color4B(GLubyte rr, GLubyte gg, GLubyte bb, GLubyte aa)
        : r(rr), g(gg), b(bb), a(aa) {}
    Color4B(const Color3B& c, GLubyte aa) : r(c.r), g(c.g), b(c.b), a(aa) {}
    explicit Color4B(const Color4F& c);

    bool operator==(const Color4B& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const Color4B& o) const { return !(*this == o); }

    static const Color4B WHITE;
    static const Color4B YELLOW;
    static const Color4B BLUE;
    static const Color4B GREEN;
    static const Color4B RED;
    static const Color4B MAGENTA;
    static const Color4B BLACK;
    static const Color4B ORANGE;
    static const Color4B GRAY;
};

// Colour with opacity, channels from 0 to 1.
struct Color4F {
    float r = 0.f, g = 0.f, b = 0.f, a = 0.f;

    constexpr Color4F() = default;
    constexpr Color4F(float rr, float gg, float bb, float aa) : r(rr), g(gg), b(bb), a(aa) {}
    explicit Color4F(const Color3B& c, float aa = 1.f);
    explicit Color4F(const Color4B& c);

    bool operator==(const Color4F& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const Color4F& o) const { return !(*this == o); }

    static const Color4F WHITE;
    static const Color4F YELLOW;
    static const Color4F BLUE;
    static const Color4F GREEN;
    static const Color4F RED;
    static const Color4F MAGENTA;
    static const Color4F BLACK;
    static const Color4F ORANGE;
    static const Color4F GRAY;
};

enum class TextHAlignment { LEFT, CENTER, RIGHT };
enum class TextVAlignment { TOP, CENTER, BOTTOM };

NS_CC_END
