// Writes the seeds that have few real files: compressed copies of .x files, picture lists and
// theme lines made the way the program writes them, and area-filter cases.
//   make_seeds OUT_FOLDER X_FILE...
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/compress_xfile.h"
#include "show/theme_file.h"

namespace {

bool Write(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  return bool(out);
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
  return ok ? 0 : 1;
}
