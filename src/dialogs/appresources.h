#pragma once

namespace vela {

// Registers the tool's compiled-in resources (icons, bar bitmaps). They live in a static
// library, so they must be pulled in explicitly; calling this more than once is harmless.
void InitResources();

}  // namespace vela
