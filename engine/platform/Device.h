// Facts about the device the program runs on.
// Depends on Macros.h only.
#pragma once

#include "base/Macros.h"

NS_CC_BEGIN

class Device {
public:
    // Screen density in dots per inch. Always 160, whatever the monitor: distances the
    // program gives in inches (the scroll view's 7/160-inch drag threshold) then come out
    // as the same number of design pixels at scale 1 on every machine.
    static int getDPI() { return 160; }
};

NS_CC_END
