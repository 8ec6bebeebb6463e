// Helpers shared by the engine's own suites: fixture pictures, and colour layers whose
// drawing order can be read from the headless harness's recorded draws.
#pragma once

#include <string>
#include <vector>

#include "cocos2d.h"
#include "platform/headless/HeadlessHarness.h"

namespace enginetest {

// Full path of a fixture picture in tests/engine/pictures.
inline std::string picture(const std::string& name) {
    return std::string(ZC_SOURCE_DIR) + "/tests/engine/pictures/" + name;
}

// A colour layer whose red channel names it, so drawing order can be read from the fills.
inline cocos2d::LayerColor* marker(unsigned char id, float x = 0.f, float y = 0.f, float w = 10.f,
                                   float h = 10.f) {
    auto* layer = cocos2d::LayerColor::create(cocos2d::Color4B(id, 0, 0, 255), w, h);
    layer->setPosition(x, y);
    return layer;
}

// The red channels of the last frame's fills, i.e. the marker ids in drawing order.
inline std::vector<int> drawnMarkers(const cocos2d::HeadlessHarness& harness) {
    std::vector<int> ids;
    for (const auto& record : harness.draws()) {
        if (record.texture == 0) {
            ids.push_back(record.colour.r);
        }
    }
    return ids;
}

}  // namespace enginetest
