#include "math/Size.h"

NS_CC_BEGIN

const Size Size::ZERO(0.f, 0.f);

NS_CC_END
