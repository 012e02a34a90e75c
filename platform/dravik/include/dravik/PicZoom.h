// Bilinear zoom of 32-bit pictures (four 8-bit channels per pixel, any channel order).
#pragma once

#include <cstdint>

// One picture: `stride` bytes from a row to the next (at least width x 4).
struct DravikPicture {
    uint32_t* pixels;
    long stride;
    long width;
    long height;
};

// Scales the whole source onto the whole destination. Pictures with no pixels, a null
// pointer or a stride below width x 4 are left alone.
void PicZoom_Bilinear_MMX(const DravikPicture& destination, const DravikPicture& source);
