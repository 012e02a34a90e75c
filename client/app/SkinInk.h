// Text colours that stay readable on a skin's colours: a layout's own colour where it
// stands out enough from the ground, else white or black, whichever stands out more.
#pragma once

#include <cstdint>

// Contrast of two ARGB colours (alpha ignored) by their relative luminance: 1 for the
// same light, 21 for black on white.
double ContrastRatio(uint32_t a, uint32_t b);
// `preferred` (ARGB; 0 for none) when its contrast to `ground` reaches 4.5, else opaque
// white or black, whichever contrasts more.
uint32_t ReadableInk(uint32_t preferred, uint32_t ground);
