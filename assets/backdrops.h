// The backdrop gradients and the studio cube map the mug reflects.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "assets/canvas.h"
#include "assets/mesh_data.h"

namespace assets {

constexpr int kGradientCount = 10;

// Gradient `index` (0..9, shipped as l1.bmp..l10.bmp) as 8-bit RGB rows. Row 0 lands on the
// top of the backdrop sphere, the middle row on the horizon behind the pictures. No pixel is
// RGB 240, 240, 240: the backdrop loader keys that colour out.
std::vector<uint8_t> PaintGradient(int index, int size);

// Colour of the studio seen in world direction `dir` (need not be unit length).
Rgb StudioColour(Vec3 dir);

// World direction through the centre of texel (x, y) of cube face `face` (+X, -X, +Y, -Y, +Z,
// -Z), following Direct3D's cube-map addressing.
Vec3 CubeTexelDirection(int face, int x, int y, int size);

// The six top-level faces of the studio cube map, 0xAARRGGBB (opaque).
std::array<std::vector<uint32_t>, 6> PaintStudioCubeFaces(int size);

}  // namespace assets
