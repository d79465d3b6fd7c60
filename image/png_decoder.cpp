// libpng's default error handler prints and may end the process; ours jumps back into the decode
// function, which frees libpng's state and returns an error. Objects living across the jump
// point are constructed before setjmp.
#include "image/png_decoder.h"

#include <csetjmp>
#include <cstring>
#include <utility>
#include <vector>

#include <png.h>

namespace imaging {
namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// zlib cannot expand data by more than about 1032:1; a header promising more is lying.
constexpr uint64_t kMaxInflateRatio = 1040;

struct Reader {
  const uint8_t* data;
  size_t size;
  size_t pos;
  ImageResult failure;
};

void ReadBytes(png_structp png, png_bytep out, png_size_t length) {
  auto* reader = static_cast<Reader*>(png_get_io_ptr(png));
  if (length > reader->size - reader->pos) {
    reader->failure = kImageTruncated;
    png_error(png, "truncated");
  }
  std::memcpy(out, reader->data + reader->pos, length);
  reader->pos += length;
}

void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

uint32_t Big32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// Total bytes of IDAT data, walking the chunk list without trusting any length.
uint64_t CompressedBytes(const uint8_t* data, size_t size) {
  uint64_t total = 0;
  size_t pos = 8;
  while (pos + 12 <= size) {
    const uint64_t length = Big32(data + pos);
    if (std::memcmp(data + pos + 4, "IDAT", 4) == 0) total += length;
    if (std::memcmp(data + pos + 4, "IEND", 4) == 0) break;
    if (length > size - pos - 12) break;
    pos += 12 + size_t(length);
  }
  return total;
}

// libpng allocates a whole ancillary chunk before reading it, so a tiny file with a chunk
// length near 2 GB would cost that much memory before failing as truncated. The chunks that
// the header read goes through (those before the first IDAT) must fit in the file.
bool HeaderChunksFit(const uint8_t* data, size_t size) {
  size_t pos = 8;
  while (pos + 12 <= size) {
    const uint64_t length = Big32(data + pos);
    if (length > size - pos - 12) return false;
    if (std::memcmp(data + pos + 4, "IDAT", 4) == 0) return true;
    pos += 12 + size_t(length);
  }
  return true;  // what is missing libpng reports as truncated itself
}

PixelFormat FormatOf(int colorType) {
  switch (colorType) {
    case PNG_COLOR_TYPE_GRAY: return PixelFormat::L8;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return PixelFormat::A8L8;
    case PNG_COLOR_TYPE_PALETTE: return PixelFormat::P8;
    case PNG_COLOR_TYPE_RGB_ALPHA: return PixelFormat::A8R8G8B8;
    default: return PixelFormat::R8G8B8;
  }
}

// Reads the header into `info`; with `sink`, also the picture, row by row.
ImageResult ReadPng(const uint8_t* data, size_t size, SourceInfo& info, ImageSink* sink) {
  if (data == nullptr || size < 8 || std::memcmp(data, kSignature, 8) != 0) return kImageInvalid;
  if (!HeaderChunksFit(data, size)) return kImageTruncated;
  Reader reader{data, size, 8, kImageInvalid};
  std::vector<png_bytep> rows;
  Image whole;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  if (png == nullptr) return kImageOutOfMemory;
  png_infop pinfo = png_create_info_struct(png);
  if (pinfo == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return kImageOutOfMemory;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &pinfo, nullptr);
    return reader.failure;
  }
  png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
  png_set_read_fn(png, &reader, ReadBytes);
  png_set_sig_bytes(png, 8);
  png_read_info(png, pinfo);
  const uint32_t width = png_get_image_width(png, pinfo);
  const uint32_t height = png_get_image_height(png, pinfo);
  const int colorType = png_get_color_type(png, pinfo);
  const int depth = png_get_bit_depth(png, pinfo);
  const bool trns = png_get_valid(png, pinfo, PNG_INFO_tRNS) != 0;
  const bool interlaced = png_get_interlace_type(png, pinfo) != PNG_INTERLACE_NONE;
  info = SourceInfo();
  info.width = width;
  info.height = height;
  info.format = FormatOf(colorType);
  info.fileFormat = FileFormat::Png;
  info.hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || trns;
  ImageResult r = kImageOk;
  if (uint64_t(width) * height > kMaxImagePixels) r = kImageTooLarge;
  const int channels = png_get_channels(png, pinfo);
  const uint64_t rawBytes = (uint64_t(width) * channels * depth + 7) / 8 * height + height;
  if (r == kImageOk && sink != nullptr &&
      rawBytes > CompressedBytes(data, size) * kMaxInflateRatio + 1024) {
    r = kImageTruncated;
  }
  if (r != kImageOk || sink == nullptr) {
    png_destroy_read_struct(&png, &pinfo, nullptr);
    return r;
  }
  png_set_expand(png);
  if (depth == 16) png_set_scale_16(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
    png_set_gray_to_rgb(png);
  }
  png_set_bgr(png);
  if (!info.hasAlpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, pinfo);
  if (png_get_rowbytes(png, pinfo) != size_t(width) * 4) {
    png_destroy_read_struct(&png, &pinfo, nullptr);
    return kImageUnsupported;
  }
  if (!interlaced) {
    r = sink->Begin(width, height);
    for (uint32_t y = 0; r == kImageOk && y < height; ++y) {
      if (sink->Cancelled()) r = kImageCancelled;
      if (r != kImageOk) break;
      png_read_row(png, reinterpret_cast<png_bytep>(sink->NextRow()), nullptr);
      sink->CommitRow();
    }
    png_destroy_read_struct(&png, &pinfo, nullptr);
    return r;
  }
  // Adam7's passes each touch rows all over the picture: it is decoded whole, then handed over.
  r = AllocateImage(whole, width, height);
  if (r == kImageOk) {
    try {
      rows.resize(height);
    } catch (...) {
      r = kImageOutOfMemory;
    }
  }
  if (r != kImageOk) {
    png_destroy_read_struct(&png, &pinfo, nullptr);
    return r;
  }
  for (uint32_t y = 0; y < height; ++y) rows[y] = reinterpret_cast<png_bytep>(whole.Row(y));
  // Pass by pass and row by row rather than png_read_image, so that a cancel is seen between
  // rows of any pass.
  for (int pass = 0; r == kImageOk && pass < passes; ++pass) {
    for (uint32_t y = 0; y < height; ++y) {
      if (sink->Cancelled()) {
        r = kImageCancelled;
        break;
      }
      png_read_row(png, rows[y], nullptr);
    }
  }
  png_destroy_read_struct(&png, &pinfo, nullptr);
  return r == kImageOk ? sink->PushImage(std::move(whole)) : r;
}

}  // namespace

ImageResult ReadPngInfo(const uint8_t* data, size_t size, SourceInfo& info) {
  return ReadPng(data, size, info, nullptr);
}

ImageResult DecodePng(const uint8_t* data, size_t size, ImageSink& sink, SourceInfo& info) {
  return ReadPng(data, size, info, &sink);
}

ImageResult DecodePng(const uint8_t* data, size_t size, Image& decoded, SourceInfo& info) {
  ImageSink sink;
  const ImageResult r = ReadPng(data, size, info, &sink);
  return r == kImageOk ? sink.Finish(decoded) : r;
}

}  // namespace imaging
