#include "math/Vec3.h"

NS_CC_BEGIN

const Vec3 Vec3::ZERO(0.f, 0.f, 0.f);
const Vec3 Vec3::ONE(1.f, 1.f, 1.f);

NS_CC_END
