// BMP and DDS encoders. Both formats are little-endian; fields are written byte by byte so the
// output does not depend on struct packing.
#include "assets/image_files.h"

namespace assets {
namespace {

void Put16(std::string& s, uint32_t v) {
  s += static_cast<char>(v & 0xff);
  s += static_cast<char>((v >> 8) & 0xff);
}
void Put32(std::string& s, uint32_t v) {
  Put16(s, v & 0xffff);
  Put16(s, v >> 16);
}

// DDS header flags and caps.
const uint32_t kDdsdCaps = 0x1, kDdsdHeight = 0x2, kDdsdWidth = 0x4, kDdsdPitch = 0x8,
               kDdsdPixelFormat = 0x1000, kDdsdMipMapCount = 0x20000;
const uint32_t kDdpfAlphaPixels = 0x1, kDdpfRgb = 0x40;
const uint32_t kDdsCapsComplex = 0x8, kDdsCapsTexture = 0x1000, kDdsCapsMipMap = 0x400000;
const uint32_t kDdsCaps2CubeMap = 0x200, kDdsCaps2AllFaces = 0xfc00;

std::vector<uint32_t> HalveArgb(const std::vector<uint32_t>& level, int size) {
  int half = size / 2;
  std::vector<uint32_t> out(static_cast<size_t>(half) * half);
  for (int y = 0; y < half; ++y) {
    for (int x = 0; x < half; ++x) {
      const uint32_t p[4] = {level[(2 * y) * size + 2 * x], level[(2 * y) * size + 2 * x + 1],
                             level[(2 * y + 1) * size + 2 * x],
                             level[(2 * y + 1) * size + 2 * x + 1]};
      uint32_t result = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        uint32_t sum = 2;  // rounds to nearest
        for (uint32_t v : p) sum += (v >> shift) & 0xff;
        result |= (sum / 4) << shift;
      }
      out[static_cast<size_t>(y) * half + x] = result;
    }
  }
  return out;
}

}  // namespace

std::string EncodeBmp24(int width, int height, const std::vector<uint8_t>& rgbTopDown) {
  const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
  std::string s;
  s.reserve(54 + imageBytes);
  s += "BM";
  Put32(s, 54 + imageBytes);  // file size
  Put32(s, 0);                // reserved
  Put32(s, 54);               // offset of the pixels
  Put32(s, 40);               // BITMAPINFOHEADER
  Put32(s, static_cast<uint32_t>(width));
  Put32(s, static_cast<uint32_t>(height));  // positive: bottom-up
  Put16(s, 1);                              // planes
  Put16(s, 24);                             // bits per pixel
  Put32(s, 0);                              // BI_RGB
  Put32(s, imageBytes);
  Put32(s, 2835);  // 72 dpi
  Put32(s, 2835);
  Put32(s, 0);
  Put32(s, 0);
  for (int y = height - 1; y >= 0; --y) {
    const uint8_t* row = rgbTopDown.data() + static_cast<size_t>(y) * width * 3;
    for (int x = 0; x < width; ++x) {
      s += static_cast<char>(row[x * 3 + 2]);  // stored as B, G, R
      s += static_cast<char>(row[x * 3 + 1]);
      s += static_cast<char>(row[x * 3]);
    }
    for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < rowBytes; ++pad) s += '\0';
  }
  return s;
}

int MipLevelCount(int size) {
  int levels = 1;
  while (size > 1) {
    size /= 2;
    ++levels;
  }
  return levels;
}

std::string EncodeCubeMapDds(int size, const std::array<std::vector<uint32_t>, 6>& faces) {
  const int levels = MipLevelCount(size);
  std::string s;
  s += "DDS ";
  Put32(s, 124);  // header size
  Put32(s, kDdsdCaps | kDdsdHeight | kDdsdWidth | kDdsdPitch | kDdsdPixelFormat |
               kDdsdMipMapCount);
  Put32(s, static_cast<uint32_t>(size));      // height
  Put32(s, static_cast<uint32_t>(size));      // width
  Put32(s, static_cast<uint32_t>(size) * 4);  // pitch of the top level
  Put32(s, 0);                                // depth
  Put32(s, static_cast<uint32_t>(levels));
  for (int i = 0; i < 11; ++i) Put32(s, 0);
  // Pixel format: 32-bit ARGB.
  Put32(s, 32);
  Put32(s, kDdpfRgb | kDdpfAlphaPixels);
  Put32(s, 0);  // no FourCC
  Put32(s, 32);
  Put32(s, 0x00ff0000);
  Put32(s, 0x0000ff00);
  Put32(s, 0x000000ff);
  Put32(s, 0xff000000);
  Put32(s, kDdsCapsComplex | kDdsCapsTexture | kDdsCapsMipMap);
  Put32(s, kDdsCaps2CubeMap | kDdsCaps2AllFaces);
  Put32(s, 0);
  Put32(s, 0);
  Put32(s, 0);  // reserved
  // Each face carries its whole chain before the next face starts.
  for (const std::vector<uint32_t>& top : faces) {
    std::vector<uint32_t> level = top;
    int levelSize = size;
    for (int l = 0; l < levels; ++l) {
      for (uint32_t p : level) Put32(s, p);
      if (levelSize > 1) {
        level = HalveArgb(level, levelSize);
        levelSize /= 2;
      }
    }
  }
  return s;
}

}  // namespace assets
