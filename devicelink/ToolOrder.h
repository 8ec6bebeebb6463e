// The order in which the tools of the tool folder are listed, the same on every system:
// by name as people read it, whatever the case. Portable; plain string work.
#pragma once

#include <vector>

#include "devicelink/LinkPlatform.h"

namespace devicelink::platform {

// Sorts tools by name ignoring the case of ASCII letters; names equal but for case go
// by their bytes, so the order never depends on what the folder listing returned first.
void sortToolsByName(std::vector<ToolRecord>& tools);

}  // namespace devicelink::platform
