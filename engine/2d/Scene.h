// The root of what is drawn: a node the size of the design area, placed by its corner.
// Depends on Node.
#pragma once

#include "2d/Node.h"

NS_CC_BEGIN

class Scene : public Node {
public:
    // An empty scene of the director's design size.
    static Scene* create();
    bool init() override;

protected:
    Scene();
};

NS_CC_END
