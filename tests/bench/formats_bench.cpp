// Pictures beyond JPEG and PNG, and the Select Pictures preview:
//   formats_bench generate <folder>          writes photo.webp (6000x4000), photo.tif (4000x3000)
//   formats_bench webp-ours <file> <runs>    the slideshow's 256x256 texture from a WebP
//   formats_bench webp-full <file> <runs>    libwebp decoding the whole picture, nothing else
//   formats_bench wic <file> <runs>          the slideshow's texture through the system's codecs
//   formats_bench preview <file> <runs>      Select Pictures' preview: request to drawn
// prints "<median ms> <peak MB above the start>". Memory is the working-set high-water mark of
// the first run less the working set before it.
#include <windows.h>
#include <psapi.h>
#include <webp/decode.h>
#include <webp/encode.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "config/preview_loader.h"
#include "d3dx/picture_texture.h"
#include "d3dx/texture_upload.h"
#include "support/real_device.h"
#include "support/saver_process.h"

using namespace imaging;

namespace {

constexpr UINT kDone = WM_APP + 1;

uint8_t Clamp(double v) { return uint8_t(std::min(255.0, std::max(0.0, v))); }

// A photo-like picture: broad gradients under faint grain, as texture_bench's smooth JPEG.
std::vector<uint8_t> Photo(uint32_t width, uint32_t height) {
  std::vector<uint8_t> bgr(size_t(width) * height * 3);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const double grain = int((x * 73856093u ^ y * 19349663u) >> 7 & 7) - 3.5;
      uint8_t* p = &bgr[(size_t(y) * width + x) * 3];
      p[2] = Clamp(128 + 90 * std::sin(x / 900.0 + y / 1300.0) + grain);
      p[1] = Clamp(128 + 80 * std::cos(x / 1500.0 - y / 700.0) + grain);
      p[0] = Clamp(60 + 150.0 * y / height + grain);
    }
  }
  return bgr;
}

void WriteBytes(const std::string& path, const void* data, size_t size) {
  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return;
  std::fwrite(data, 1, size, out);
  std::fclose(out);
}

void Put(std::vector<uint8_t>& b, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

// An uncompressed RGB TIFF, one strip: no codec of ours reads it, the system's does.
void WriteTiff(const std::string& path, uint32_t width, uint32_t height) {
  const std::vector<uint8_t> bgr = Photo(width, height);
  const uint32_t tags[][3] = {{256, 4, width}, {257, 4, height}, {258, 3, 8}, {259, 3, 1},
                              {262, 3, 2}, {273, 4, 8 + 2 + 9 * 12 + 4}, {277, 3, 3},
                              {278, 4, height}, {279, 4, width * height * 3}};
  std::vector<uint8_t> b = {'I', 'I', 42, 0};
  Put(b, 8, 4);
  Put(b, 9, 2);
  for (const auto& tag : tags) {
    Put(b, tag[0], 2);
    Put(b, tag[1], 2);
    Put(b, 1, 4);
    Put(b, tag[2], 4);  // 8 bits for all three samples: one value stands for the three
  }
  Put(b, 0, 4);
  for (size_t i = 0; i < bgr.size(); i += 3) b.insert(b.end(), {bgr[i + 2], bgr[i + 1], bgr[i]});
  WriteBytes(path, b.data(), b.size());
}

void Generate(const std::string& folder) {
  const std::vector<uint8_t> bgr = Photo(6000, 4000);
  uint8_t* webp = nullptr;
  const size_t size = WebPEncodeBGR(bgr.data(), 6000, 4000, 6000 * 3, 85, &webp);
  WriteBytes(folder + "\\photo.webp", webp, size);
  WebPFree(webp);
  WriteTiff(folder + "\\photo.tif", 4000, 3000);
}

bool Texture(IDirect3DDevice8* device, const std::string& path) {
  PictureImage picture;
  if (FAILED(DecodePictureFile(path.c_str(), 256, 256, 3, 0xFFF0F0F0, nullptr, picture))) {
    return false;
  }
  IDirect3DTexture8* texture = nullptr;
  if (FAILED(CreateTextureFromImage(device, picture, 1, 3, &texture))) return false;
  texture->Release();
  return true;
}

bool WebpFull(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (FAILED(ReadWholeFile(path.c_str(), bytes))) return false;
  int width = 0, height = 0;
  uint8_t* pixels = WebPDecodeBGRA(bytes.data(), bytes.size(), &width, &height);
  WebPFree(pixels);
  return pixels != nullptr;
}

// As Select Pictures does it: a request, the loader's message, the picture drawn.
bool Preview(HWND box, PreviewLoader& loader, const std::string& path) {
  RECT client;
  GetClientRect(box, &client);
  const uint32_t generation = loader.Request(path, client.right, client.bottom, box, kDone);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (message.message != kDone || message.wParam != generation) continue;
    PreviewPicture picture;
    HRESULT hr = E_FAIL;
    if (!loader.Take(generation, picture, hr) || FAILED(hr)) return false;
    HDC dc = GetDC(box);
    picture.DrawFitted(box, dc);
    ReleaseDC(box, dc);
    return true;
  }
  return false;
}

SIZE_T Peak() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakWorkingSetSize;
}

SIZE_T WorkingSet() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.WorkingSetSize;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "generate") == 0) {
    Generate(argv[2]);
    return 0;
  }
  if (argc != 4) {
    std::fprintf(stderr, "usage: formats_bench generate <folder> |"
                         " <webp-ours|webp-full|wic|preview> <file> <runs>\n");
    return 2;
  }
  CoInitialize(nullptr);
  const std::string which = argv[1], path = argv[2];
  const int runs = std::max(1, std::atoi(argv[3]));
  testing_support::RealDevice live;
  if (which != "preview" && !live.Create(64, 64)) {
    std::fprintf(stderr, "no Direct3D device: %s\n", live.error());
    return 1;
  }
  // The Select Pictures preview button's client size at 96 dpi.
  HWND box = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 124, 106, nullptr, nullptr,
                           nullptr, nullptr);
  PreviewLoader loader;
  const SIZE_T before = WorkingSet();
  SIZE_T peak = 0;
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double start = testing_support::NowMs();
    const bool ok = which == "webp-full" ? WebpFull(path)
                    : which == "preview" ? Preview(box, loader, path)
                                         : Texture(live.get(), path);
    times.push_back(testing_support::NowMs() - start);
    if (!ok) {
      std::fprintf(stderr, "%s failed on %s\n", which.c_str(), path.c_str());
      return 1;
    }
    if (i == 0) peak = Peak();
  }
  std::sort(times.begin(), times.end());
  std::printf("%.1f %.1f\n", times[times.size() / 2],
              peak > before ? double(peak - before) / (1024.0 * 1024.0) : 0.0);
  DestroyWindow(box);
  return 0;
}
