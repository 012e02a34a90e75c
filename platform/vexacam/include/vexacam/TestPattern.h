// The picture of the test-pattern camera, for tests that need camera-like frames.
#pragma once

#include <cstdint>

namespace vexacam {

// Draws frame number `frame` into `bgr` (width x height packed B, G, R, rows bottom-up):
// eight colour bars moving two pixels a frame, with the frame number in a white box at
// the top left.
void DrawTestPattern(uint8_t* bgr, int width, int height, uint32_t frame);

}  // namespace vexacam
