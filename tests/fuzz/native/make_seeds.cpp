// Writes the seeds that have few real files: compressed copies of .x files, picture lists and
// theme lines made the way the program writes them, area-filter cases, and WebP files (lossy,
// lossless, with alpha, and one carrying an EXIF orientation) from libwebp's encoder.
//   make_seeds OUT_FOLDER X_FILE...
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <webp/encode.h>

#include "fuzz/compress_xfile.h"
#include "show/theme_file.h"

namespace {

bool Write(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  return bool(out);
}

std::string Le32(uint32_t v) {
  return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

// A small picture with soft gradients and a half-transparent corner, encoded by libwebp.
std::string EncodeWebp(int width, int height, bool lossless) {
  std::vector<uint8_t> rgba(size_t(width) * height * 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &rgba[(size_t(y) * width + x) * 4];
      p[0] = uint8_t(x * 255 / width);
      p[1] = uint8_t(y * 255 / height);
      p[2] = uint8_t((x ^ y) * 8);
      p[3] = x < width / 4 && y < height / 4 ? 128 : 255;
    }
  }
  uint8_t* out = nullptr;
  const size_t n = lossless ? WebPEncodeLosslessRGBA(rgba.data(), width, height, width * 4, &out)
                            : WebPEncodeRGBA(rgba.data(), width, height, width * 4, 75, &out);
  std::string bytes(reinterpret_cast<const char*>(out), n);
  WebPFree(out);
  return bytes;
}

// The extended form of a simple file, with an EXIF block saying "turn a quarter".
std::string WithExif(const std::string& simple, int width, int height) {
  const std::string tiff = std::string("II*\0", 4) + Le32(8) + std::string("\1\0\x12\x01\3\0", 6) +
                           Le32(1) + std::string("\6\0\0\0", 4) + Le32(0);
  std::string chunks = "VP8X" + Le32(10) + Le32(0x08) + Le32(uint32_t(width - 1)).substr(0, 3) +
                       Le32(uint32_t(height - 1)).substr(0, 3) + simple.substr(12) + "EXIF" +
                       Le32(uint32_t(tiff.size())) + tiff;
  return "RIFF" + Le32(uint32_t(chunks.size() + 4)) + "WEBP" + chunks;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string out = argv[1];
  bool ok = true;
  for (int i = 2; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    const std::string plain((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Small and middle-sized models only: compressed copies of the large ones run slowly.
    if (plain.size() > (128u << 10)) continue;
    const std::string packed = fuzz::CompressXFile(plain);
    if (packed.empty()) continue;
    const std::string name = std::string(argv[i]).substr(std::string(argv[i]).rfind('/') + 1);
    ok = Write(out + "/xfile/" + name + ".zip.x", packed) && ok;
  }

  std::string defaults;
  for (int n = 1; n <= 14; ++n) {
    defaults += "defpic" + std::to_string(n) +
                "\r\nC:\\Program Files\\Korrin Software\\Solvane 7.0\\data\\defpics\\defpic" +
                std::to_string(n) + ".jpg\r\n";
  }
  ok = Write(out + "/tsl/defaults.tsl", defaults) && ok;
  ok = Write(out + "/tsl/mixed.tsl",
             "\xEF\xBB\xBF"
             "beach.jpg\nC:\\Photos\\beach.jpg\n\nC:\\Photos\\no name.bmp\n"
             "Stra\xC3\x9F"
             "e\n\\\\server\\share\\Stra\xC3\x9F"
             "e.jpg\n" +
                 std::string(300, 'n') + "\n" + std::string(600, 'p') + "\nlast name only\n") &&
       ok;
  ok = Write(out + "/tsl/legacy.tsl",
             "Stra\xDF"
             "e\r\nC:\\Bilder\\Stra\xDF"
             "e.jpg\r\n") &&
       ok;

  ThemeRecord plain{};
  plain.backGndColor = plain.object3DColor = 0xFFFFFF;
  plain.renderReflection = plain.render3DObject = 1;
  ThemeRecord odd = plain;
  odd.backGndColor = 0x00123456;
  odd.gradient = -2147483647 - 1;
  odd.object3DIndex = 2147483647;
  ok = Write(out + "/thm/user.thm",
             FormatThemeLine(plain) + "\r\n" + FormatThemeLine(odd) + "\r\n") &&
       ok;
  ok = Write(out + "/thm/spaced.thm",
             "{ 0x1 ,{0x2,0x3 , 0x4},5,6,7,0x8,{0x9,0xa,0xb},12,13}\n\n{}\n") &&
       ok;

  // Area-filter cases (each side is one more than stored): a photo-like reduction with the
  // slideshow's key, a sliver enlarged 256 times across, one texel.
  const uint8_t cases[][13] = {
      {0x40, 0x01, 0xC8, 0x00, 0x00, 0x01, 0x00, 0x01, 3, 0xF0, 0xF0, 0xF0, 0xFF},
      {0x03, 0x00, 0x01, 0x00, 0xFF, 0x03, 0x07, 0x00, 0x84, 0, 0, 0, 0},
      {0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0}};
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    std::string bytes(reinterpret_cast<const char*>(cases[i]), sizeof cases[i]);
    for (int t = 0; t < 64; ++t) bytes += char(t * 37);
    ok = Write(out + "/scale/case" + std::to_string(i), bytes) && ok;
  }
  const std::string lossy = EncodeWebp(96, 64, false);
  ok = Write(out + "/webp/lossy.webp", lossy) && ok;
  ok = Write(out + "/webp/lossless.webp", EncodeWebp(40, 30, true)) && ok;
  ok = Write(out + "/webp/turned.webp", WithExif(lossy, 96, 64)) && ok;
  return ok ? 0 : 1;
}
