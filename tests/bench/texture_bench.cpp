// Cost of turning a large picture into one 256 x 256 texture as the slideshow does, beside a
// full-size decode followed by the same reduction, and beside the bare library decode (the
// floor: libjpeg-turbo at the DCT scale our loader picks; libpng or libwebp decoding the whole
// picture). Also the Select Pictures preview and a decode cancelled part way.
//
//   texture_bench generate <folder>              smooth.jpg, detailed.jpg (6000x4000, q90),
//                                                photo.webp (6000x4000), photo.tif (4000x3000)
//   texture_bench generate-checker <file.jpg>   writes a red/cyan checker, 12-px squares (2048x1536)
//   texture_bench generate-png <file.png>        writes an 8000x8000 RGB picture
//   texture_bench generate-progressive <file>    a progressive 6000x4000 JPEG (detailed)
//   texture_bench generate-interlaced <file>     an interlaced 4000x4000 PNG
//   texture_bench cancel <file> <runs>           a decode cancelled part way: request to return
//   texture_bench preview <file> <runs>          Select Pictures' preview: request to drawn
//   texture_bench <ours|full|floor> <file> <runs>
// prints "<median ms> <peak MB above the start> <DCT scale in eighths, or - if none>" for the
// case; "ours" takes any picture the slideshow takes (a TIFF through the system's codecs).
// Memory is the working-set high-water mark of the first run less the working set before it;
// our loader's includes the file, which it reads whole.
#include <windows.h>
#include <psapi.h>
#include <webp/decode.h>
#include <webp/encode.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <jpeglib.h>
#include <png.h>

#include "config/preview_loader.h"
#include "d3dx/d3dx8.h"
#include "d3dx/picture_texture.h"
#include "image/image_decode.h"
#include "image/image_scale.h"
#include "image/jpeg_decoder.h"
#include "image/pixel_formats.h"
#include "d3dx/texture_upload.h"
#include "support/real_device.h"
#include "support/safe_release.h"
#include "support/saver_process.h"

using namespace imaging;

namespace {

using testing_support::NowMs;

constexpr uint32_t kWidth = 6000, kHeight = 4000, kTarget = 256;
constexpr D3DCOLOR kColorKey = 0xFFF0F0F0;
constexpr UINT kPreviewDone = WM_APP + 1;

uint32_t Hash(uint32_t x, uint32_t y) {
  uint32_t v = x * 73856093u ^ y * 19349663u;
  v ^= v >> 13;
  v *= 0x5bd1e995u;
  return v ^ (v >> 15);
}

uint8_t Clamp(double v) { return uint8_t(std::min(255.0, std::max(0.0, v))); }

// Smooth: broad gradients, like sky and skin. Detailed: fine texture and grain, like foliage.
// One RGB row of a width x height photo.
void PhotoRow(uint32_t y, uint32_t width, uint32_t height, bool detailed, uint8_t* row) {
  for (uint32_t x = 0; x < width; ++x) {
    double r = 128 + 90 * std::sin(x / 900.0 + y / 1300.0);
    double g = 128 + 80 * std::cos(x / 1500.0 - y / 700.0);
    double b = 60 + 150.0 * y / height;
    // Sensor noise, faint in the smooth picture, strong with fine texture in the detailed one.
    const double grain = detailed ? int(Hash(x, y) % 25) - 12 : int(Hash(x, y) & 3) - 1.5;
    const double fine = detailed ? 18 * std::sin(x * 0.9 + std::sin(y * 0.13) * 4) *
                                       std::cos(y * 0.7 + std::sin(x * 0.05) * 3)
                                 : 0.0;
    row[3 * x] = Clamp(r + grain + fine);
    row[3 * x + 1] = Clamp(g + grain * 0.8 - fine);
    row[3 * x + 2] = Clamp(b + grain * 0.6 + fine * 0.5);
  }
}

std::vector<uint8_t> Photo(uint32_t width, uint32_t height) {
  std::vector<uint8_t> rgb(size_t(width) * height * 3);
  for (uint32_t y = 0; y < height; ++y) {
    PhotoRow(y, width, height, false, &rgb[size_t(y) * width * 3]);
  }
  return rgb;
}

// A JPEG at quality 90 whose rows `fill` writes as RGB bytes.
template <typename Fill>
void WriteJpeg(const std::string& path, uint32_t width, uint32_t height, bool progressive,
               Fill fill) {
  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return;
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, out);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 90, TRUE);
  if (progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<uint8_t> row(width * 3);
  for (uint32_t y = 0; y < height; ++y) {
    fill(y, row.data());
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&cinfo, &p, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::fclose(out);
}

void Generate(const std::string& path, bool detailed, bool progressive = false) {
  WriteJpeg(path, kWidth, kHeight, progressive, [detailed](uint32_t y, uint8_t* row) {
    PhotoRow(y, kWidth, kHeight, detailed, row);
  });
}

// A red and cyan checker of 12-pixel squares, 2048x1536: fine contrast that a soft reduction or
// a blurred sampler loses first (see gallery_bench sharpness).
void GenerateChecker(const std::string& path) {
  WriteJpeg(path, 2048, 1536, false, [](uint32_t y, uint8_t* row) {
    for (uint32_t x = 0; x < 2048; ++x) {
      const bool red = (x / 12 + y / 12) % 2 == 0;
      row[3 * x] = red ? 255 : 0;
      row[3 * x + 1] = row[3 * x + 2] = red ? 0 : 255;
    }
  });
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
void GenerateTiff(const std::string& path, uint32_t width, uint32_t height) {
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
  const std::vector<uint8_t> rgb = Photo(width, height);
  b.insert(b.end(), rgb.begin(), rgb.end());
  WriteBytes(path, b.data(), b.size());
}

void GenerateWebp(const std::string& path) {
  const std::vector<uint8_t> rgb = Photo(kWidth, kHeight);
  uint8_t* webp = nullptr;
  const size_t size = WebPEncodeRGB(rgb.data(), kWidth, kHeight, kWidth * 3, 85, &webp);
  WriteBytes(path, webp, size);
  WebPFree(webp);
}

// A drawing rather than a photo, as pictures this large in PNG mostly are (maps, renderings,
// scans of artwork): broad gradients under rings and bands with hard edges, no sensor noise.
void GeneratePng(const std::string& path, uint32_t kSide = 8000, bool interlaced = false) {
  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, out);
  png_set_IHDR(png, info, kSide, kSide, 8, PNG_COLOR_TYPE_RGB,
               interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  // Adam7 is written pass by pass, so an interlaced picture is made whole first.
  const int passes = interlaced ? png_set_interlace_handling(png) : 1;
  std::vector<uint8_t> row(kSide * 3);
  std::vector<uint8_t> whole(interlaced ? size_t(kSide) * kSide * 3 : 0);
  for (uint32_t y = 0; y < kSide; ++y) {
    for (uint32_t x = 0; x < kSide; ++x) {
      const double dx = int(x % 1000) - 500.0, dy = int(y % 1000) - 500.0;
      const bool ring = int(std::sqrt(dx * dx + dy * dy)) % 90 < 12;
      const bool band = (x + 2 * y) % 700 < 40;
      double r = 128 + 90 * std::sin(x / 900.0 + y / 1300.0);
      double g = 128 + 80 * std::cos(x / 1500.0 - y / 700.0);
      double b = 60 + 150.0 * y / kSide;
      if (ring) r = 255 - r, g = 40, b = 255 - b;
      if (band) r = g = b = 245;
      row[3 * x] = Clamp(r);
      row[3 * x + 1] = Clamp(g);
      row[3 * x + 2] = Clamp(b);
    }
    if (interlaced) {
      std::memcpy(whole.data() + size_t(y) * kSide * 3, row.data(), row.size());
    } else {
      png_write_row(png, row.data());
    }
  }
  for (int pass = 0; interlaced && pass < passes; ++pass) {
    for (uint32_t y = 0; y < kSide; ++y) png_write_row(png, whole.data() + size_t(y) * kSide * 3);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(out);
}

// The decode the slideshow runs, cancelled some way in: the median milliseconds from the
// request to the decode's return; prints "<median ms> - max=<ms>".
int RunCancel(const std::string& path, int runs) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    std::atomic<bool> keepGoing{true};
    std::atomic<double> returned{0.0};
    HRESULT hr = S_OK;
    std::thread decode([&] {
      PictureImage picture;
      hr = DecodePictureFile(path.c_str(), 1024, 1024, kFilterLinear, 0, &keepGoing, picture);
      returned = NowMs();
    });
    Sleep(60 + 37 * i % 100);  // at a different point of the decode each run
    const double asked = NowMs();
    keepGoing = false;
    decode.join();
    if (hr != E_ABORT) {
      std::fprintf(stderr, "the decode of %s was not cancelled (0x%08lx)\n", path.c_str(),
                   static_cast<unsigned long>(hr));
      return 1;
    }
    times.push_back(returned - asked);
  }
  std::sort(times.begin(), times.end());
  std::printf("%.2f - max=%.2f\n", times[times.size() / 2], times.back());
  return 0;
}

PROCESS_MEMORY_COUNTERS Memory() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters;
}

// Our loader: JPEG and PNG through the texture-from-file entry, as their rows have always been
// timed; other formats as the slideshow decodes and uploads them (a TIFF by the system's codecs).
bool RunOurs(IDirect3DDevice8* device, const std::string& path, bool entry) {
  IDirect3DTexture8* texture = nullptr;
  HRESULT hr;
  if (entry) {
    hr = D3DXCreateTextureFromFileExA(device, path.c_str(), kTarget, kTarget, 1, 0, D3DFMT_UNKNOWN,
                                      D3DPOOL_MANAGED, D3DX_FILTER_LINEAR, D3DX_FILTER_LINEAR,
                                      kColorKey, nullptr, nullptr, &texture);
  } else {
    PictureImage picture;
    hr = DecodePictureFile(path.c_str(), kTarget, kTarget, kFilterLinear, kColorKey, nullptr,
                           picture);
    if (SUCCEEDED(hr)) hr = CreateTextureFromImage(device, picture, 1, kFilterLinear, &texture);
  }
  SafeRelease(texture);
  return SUCCEEDED(hr);
}

// The naive way: the whole picture at full size, then the same reduction and upload.
bool RunFull(IDirect3DDevice8* device, const std::string& path) {
  std::vector<uint8_t> bytes;
  if (FAILED(ReadWholeFile(path.c_str(), bytes))) return false;
  DecodeOptions options;
  options.allowDctScaling = false;
  options.colorKey = kColorKey;
  Image full, small;
  SourceInfo info;
  if (DecodeImage(bytes.data(), bytes.size(), options, full, info) != kImageOk) return false;
  if (ScaleImage(full, kTarget, kTarget, kFilterLinear, small) != kImageOk) return false;
  IDirect3DTexture8* texture = nullptr;
  if (FAILED(device->CreateTexture(kTarget, kTarget, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                   &texture))) {
    return false;
  }
  D3DLOCKED_RECT locked;
  if (SUCCEEDED(texture->LockRect(0, &locked, nullptr, 0))) {
    WriteLevel(small, D3DFMT_A8R8G8B8, false, locked);
    texture->UnlockRect(0);
  }
  SafeRelease(texture);
  return true;
}

// libjpeg-turbo alone: the file read and decoded at `scale`/8, rows thrown away.
bool RunFloor(const std::string& path, int scale) {
  std::vector<uint8_t> bytes;
  if (FAILED(ReadWholeFile(path.c_str(), bytes))) return false;
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&cinfo, TRUE);
  cinfo.scale_num = scale;
  cinfo.scale_denom = 8;
  cinfo.out_color_space = JCS_EXT_BGRA;
  jpeg_start_decompress(&cinfo);
  std::vector<uint8_t> rows(size_t(cinfo.output_width) * 4 * 16);
  JSAMPROW pointers[16];
  for (int i = 0; i < 16; ++i) pointers[i] = rows.data() + size_t(i) * cinfo.output_width * 4;
  while (cinfo.output_scanline < cinfo.output_height) jpeg_read_scanlines(&cinfo, pointers, 16);
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

struct PngSource {
  const std::vector<uint8_t>* bytes;
  size_t pos;
};

void ReadPngBytes(png_structp png, png_bytep out, png_size_t length) {
  auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
  if (length > source->bytes->size() - source->pos) png_error(png, "truncated");
  std::memcpy(out, source->bytes->data() + source->pos, length);
  source->pos += length;
}

// libpng alone: the file read and the whole picture decoded into memory in its own format.
bool RunPngFloor(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (FAILED(ReadWholeFile(path.c_str(), bytes))) return false;
  PngSource source{&bytes, 0};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_read_fn(png, &source, ReadPngBytes);
  png_set_user_limits(png, 65535, 65535);
  png_read_info(png, info);
  const size_t rowBytes = png_get_rowbytes(png, info);
  const uint32_t height = png_get_image_height(png, info);
  std::vector<uint8_t> pixels(rowBytes * height);
  std::vector<png_bytep> rows(height);
  for (uint32_t y = 0; y < height; ++y) rows[y] = pixels.data() + y * rowBytes;
  png_read_image(png, rows.data());
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

// libwebp alone: the file read and the whole picture decoded.
bool RunWebpFloor(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (FAILED(ReadWholeFile(path.c_str(), bytes))) return false;
  int width = 0, height = 0;
  uint8_t* pixels = WebPDecodeBGRA(bytes.data(), bytes.size(), &width, &height);
  WebPFree(pixels);
  return pixels != nullptr;
}

// As Select Pictures does it: a request, the loader's message, the picture drawn.
bool RunPreview(HWND box, PreviewLoader& loader, const std::string& path) {
  RECT client;
  GetClientRect(box, &client);
  const uint32_t generation = loader.Request(path, client.right, client.bottom, box, kPreviewDone);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (message.message != kPreviewDone || message.wParam != generation) continue;
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

}  // namespace

int main(int argc, char** argv) {
  const std::string which = argc >= 2 ? argv[1] : "";
  if (argc == 3 && which == "generate") {
    const std::string folder = argv[2];
    Generate(folder + "\\smooth.jpg", false);
    Generate(folder + "\\detailed.jpg", true);
    GenerateWebp(folder + "\\photo.webp");
    GenerateTiff(folder + "\\photo.tif", 4000, 3000);
    return 0;
  }
  if (argc == 3 && which == "generate-checker") {
    GenerateChecker(argv[2]);
    return 0;
  }
  if (argc == 3 && which == "generate-png") {
    GeneratePng(argv[2]);
    return 0;
  }
  // The slow kinds for a key pressed mid-decode: progressive and interlaced files.
  if (argc == 3 && which == "generate-progressive") {
    Generate(argv[2], true, true);
    return 0;
  }
  if (argc == 3 && which == "generate-interlaced") {
    GeneratePng(argv[2], 4000, true);
    return 0;
  }
  if (argc == 4 && which == "cancel") {
    return RunCancel(argv[2], std::max(1, std::atoi(argv[3])));
  }
  if (argc != 4) {
    std::fprintf(stderr, "usage: texture_bench generate <folder> | generate-png <file> |"
                         " <ours|full|floor|preview> <file> <runs>\n");
    return 2;
  }
  CoInitialize(nullptr);  // the system's codecs
  const std::string path = argv[2];
  const int runs = std::max(1, std::atoi(argv[3]));
  std::vector<uint8_t> header;
  if (FAILED(ReadWholeFile(path.c_str(), header))) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 1;
  }
  SourceInfo info;
  const DetectedFormat format = DetectFormat(header.data(), header.size());
  const bool jpeg = format == DetectedFormat::Jpeg &&
                    ProbeImage(header.data(), header.size(), info) == kImageOk;
  header = std::vector<uint8_t>();
  const int scale = jpeg ? ChooseDctScale(info.width, info.height, kTarget, kTarget) : 0;
  if (which == "floor" && !jpeg && format != DetectedFormat::Png &&
      format != DetectedFormat::Webp) {
    std::fprintf(stderr, "no floor for %s\n", path.c_str());
    return 2;
  }
  // Every case but the preview runs beside a live device, even the floor that does not use it:
  // the device's own threads then weigh on every row alike.
  testing_support::RealDevice live;
  IDirect3DDevice8* device = nullptr;
  if (which != "preview") {
    if (!live.Create(64, 64)) {
      std::fprintf(stderr, "no Direct3D device: %s\n", live.error());
      return 1;
    }
    device = live.get();
    // The first texture of a device pays for driver set-up; keep that out of the figures.
    IDirect3DTexture8* warm = nullptr;
    device->CreateTexture(kTarget, kTarget, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &warm);
    D3DLOCKED_RECT locked;
    if (warm != nullptr && SUCCEEDED(warm->LockRect(0, &locked, nullptr, 0))) warm->UnlockRect(0);
    SafeRelease(warm);
  }
  // The Select Pictures preview button's client size at 96 dpi.
  HWND box = which != "preview" ? nullptr
                                : CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 124,
                                                106, nullptr, nullptr, nullptr, nullptr);
  PreviewLoader loader;
  const bool viaEntry = jpeg || format == DetectedFormat::Png;
  const SIZE_T before = Memory().WorkingSetSize;
  std::vector<double> times;
  SIZE_T peak = 0;
  for (int i = 0; i < runs; ++i) {
    const double start = NowMs();
    const bool ok = which == "ours"    ? RunOurs(device, path, viaEntry)
                    : which == "full"    ? RunFull(device, path)
                    : which == "preview" ? RunPreview(box, loader, path)
                    : jpeg               ? RunFloor(path, scale)
                    : format == DetectedFormat::Png ? RunPngFloor(path)
                                                    : RunWebpFloor(path);
    times.push_back(NowMs() - start);
    if (!ok) {
      std::fprintf(stderr, "%s failed on %s\n", which.c_str(), path.c_str());
      return 1;
    }
    if (i == 0) peak = Memory().PeakWorkingSetSize;  // the first run sets the high-water mark
  }
  if (box != nullptr) DestroyWindow(box);
  if (std::getenv("SOLVANE_BENCH_VERBOSE") != nullptr) {
    for (double t : times) std::fprintf(stderr, "%.1f ", t);
    std::fprintf(stderr, "\n");
  }
  std::sort(times.begin(), times.end());
  const double extra = peak > before ? double(peak - before) / (1024.0 * 1024.0) : 0.0;
  if (jpeg && which != "preview") {
    std::printf("%.1f %.1f %d\n", times[times.size() / 2], extra, which == "full" ? 8 : scale);
  } else {
    std::printf("%.1f %.1f -\n", times[times.size() / 2], extra);
  }
  return 0;
}
