// Encoders for the installation's image files: 24-bit BMP, cube-map DDS and JPEG.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace assets {

// Uncompressed 24-bit bottom-up BMP from RGB rows given top-down. Rows are padded to 4 bytes.
std::string EncodeBmp24(int width, int height, const std::vector<uint8_t>& rgbTopDown);

// Cube map DDS, 32-bit A8R8G8B8, with the full mip chain built by 2x2 averaging. `faces` holds
// the top levels (size x size, 0xAARRGGBB, rows top-down) in the order +X, -X, +Y, -Y, +Z, -Z.
std::string EncodeCubeMapDds(int size, const std::array<std::vector<uint32_t>, 6>& faces);

// Number of levels in a full mip chain of a square of this size (128 -> 8).
int MipLevelCount(int size);

// Baseline JPEG of the RGB rows; empty on failure.
std::string EncodeJpeg(int width, int height, const std::vector<uint8_t>& rgbTopDown,
                       int quality);

}  // namespace assets
