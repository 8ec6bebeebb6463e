// Reference counting for every engine object: retain, release, autorelease.
// Depends only on Macros.h; the autorelease pool is in AutoreleasePool.h.
#pragma once

#include <cstdint>

#include "base/Macros.h"

NS_CC_BEGIN

class Ref {
public:
    // Takes one more reference.
    void retain();
    // Gives one reference back; the object is deleted when none is left.
    void release();
    // Hands the creation reference to the current autorelease pool, to be given back
    // at the end of the frame.
    Ref* autorelease();
    // Number of references held now.
    unsigned int getReferenceCount() const { return _referenceCount; }

    virtual ~Ref();

protected:
    Ref();

private:
    // A live object carries this marker; the destructor overwrites it so a late
    // retain or release of a destroyed object is recognised in debug builds.
    static constexpr std::uint32_t kAlive = 0x5A43A11Eu;
    static constexpr std::uint32_t kDead = 0xDEADDEADu;

    std::uint32_t _marker = kAlive;
    unsigned int _referenceCount = 1;
};

NS_CC_END
