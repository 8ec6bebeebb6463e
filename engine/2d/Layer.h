// A plain container node the size of the design area, placed by its corner.
// Depends on Node.
#pragma once

#include "2d/Node.h"

NS_CC_BEGIN

class Layer : public Node {
public:
    // An empty layer of the director's design size.
    static Layer* create();
    bool init() override;

protected:
    Layer();
};

NS_CC_END
