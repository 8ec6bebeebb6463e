// Puts the shared DeviceManager back to a fresh run's selection (kib, basic) when made and
// when gone, so suites that change the dialect or card set do not depend on test order.
#pragma once

#include "catalogue/DeviceManager.h"

class FreshSelection {
public:
    FreshSelection() { DeviceManager::getInstance()->init(); }
    ~FreshSelection() { DeviceManager::getInstance()->init(); }
    FreshSelection(const FreshSelection&) = delete;
    FreshSelection& operator=(const FreshSelection&) = delete;
};
