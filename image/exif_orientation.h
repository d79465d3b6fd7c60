// EXIF orientation of JPEG files: phones store portrait photos sideways with a tag that says how
// to turn them upright; we turn them so they stand as the photographer saw them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/image.h"

namespace imaging {

// The Orientation tag (1..8) of the file's EXIF block; 1 when absent, unreadable or out of range.
int ReadJpegOrientation(const uint8_t* data, size_t size);

// The Orientation tag of an EXIF block that starts at its TIFF header ("II*\0" or "MM\0*").
int OrientationFromTiff(const uint8_t* tiff, size_t size);

// Orientations 5 to 8 turn the picture by a quarter: width and height change places.
inline bool OrientationSwapsAxes(int orientation) { return orientation >= 5 && orientation <= 8; }

// The upright picture for a stored picture and its orientation.
ImageResult ApplyOrientation(const Image& stored, int orientation, Image& upright);
// The same for a stored picture that is not needed afterwards: an upright one is moved as it is.
ImageResult TurnUpright(Image&& stored, int orientation, Image& upright);

}  // namespace imaging
