// libjpeg's default error handler ends the process; ours jumps back into the function that set
// the jump point, which then tidies up and returns an error. Every C++ object that lives across
// the jump point is constructed before setjmp, so a jump skips no destructor.
#include "image/jpeg_decoder.h"

#include <atomic>
#include <csetjmp>
#include <cstdio>
#include <utility>

#include <jpeglib.h>
#include <jerror.h>

#include "image/exif_orientation.h"
#include "image/image_scale.h"

namespace imaging {
namespace {

// Progressive files keep all coefficients in memory; a lying header must not take more.
constexpr long kJpegMemoryLimit = 768L * 1024 * 1024;

struct ErrorManager {
  jpeg_error_mgr pub;
  jmp_buf jump;
  int code;
};

// Not a libjpeg message code: the progress monitor saw the caller give up.
constexpr int kCancelledCode = -1;

// A progressive file is read scan by scan inside jpeg_start_decompress, which can take seconds
// for a large photo; libjpeg calls its progress monitor between rows of every scan, so a cancel
// is seen there and leaves through the error jump.
struct CancelMonitor {
  jpeg_progress_mgr pub;
  const std::atomic<bool>* keepGoing;
};

void CheckCancel(j_common_ptr common) {
  auto* monitor = reinterpret_cast<CancelMonitor*>(common->progress);
  if (monitor->keepGoing != nullptr && !monitor->keepGoing->load()) {
    auto* err = reinterpret_cast<ErrorManager*>(common->err);
    err->code = kCancelledCode;
    longjmp(err->jump, 1);
  }
}

[[noreturn]] void OnError(j_common_ptr common) {
  auto* err = reinterpret_cast<ErrorManager*>(common->err);
  err->code = common->err->msg_code;
  longjmp(err->jump, 1);
}

// A file cut short would otherwise decode to grey below the cut; we call it truncated instead.
void OnMessage(j_common_ptr common, int level) {
  if (level < 0 && common->err->msg_code == JWRN_JPEG_EOF) OnError(common);
}

void OnOutput(j_common_ptr) {}

ImageResult MapError(int code) {
  switch (code) {
    case kCancelledCode:
      return kImageCancelled;
    case JERR_BAD_PRECISION:
    case JERR_NOT_COMPILED:
    case JERR_ARITH_NOTIMPL:
    case JERR_CONVERSION_NOTIMPL:
      return kImageUnsupported;
    case JERR_INPUT_EMPTY:
    case JERR_INPUT_EOF:
    case JWRN_JPEG_EOF:
      return kImageTruncated;
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW:
    case JERR_NO_BACKING_STORE:
      return kImageTooLarge;
    case JERR_OUT_OF_MEMORY:
      return kImageOutOfMemory;
    default:
      return kImageInvalid;
  }
}

void InstallHandlers(jpeg_decompress_struct& cinfo, ErrorManager& err) {
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = OnError;
  err.pub.emit_message = OnMessage;
  err.pub.output_message = OnOutput;
  err.code = 0;
}

// Even a flat picture costs some coded bits per 8x8 block, so a short file cannot describe a
// huge picture; a header claiming one is lying, and must not make us allocate for it.
constexpr uint64_t kMaxPixelsPerByte = 8192;

ImageResult CheckSize(uint32_t width, uint32_t height, size_t fileSize) {
  if (width == 0 || height == 0) return kImageInvalid;
  if (width > kMaxImageSide || height > kMaxImageSide ||
      uint64_t(width) * height > kMaxImagePixels) {
    return kImageTooLarge;
  }
  if (uint64_t(width) * height > uint64_t(fileSize) * kMaxPixelsPerByte) return kImageTruncated;
  return kImageOk;
}

void FillInfo(const jpeg_decompress_struct& cinfo, int orientation, SourceInfo& info) {
  const bool swap = OrientationSwapsAxes(orientation);
  info = SourceInfo();
  info.width = swap ? cinfo.image_height : cinfo.image_width;
  info.height = swap ? cinfo.image_width : cinfo.image_height;
  info.format = cinfo.num_components == 1 ? PixelFormat::L8 : PixelFormat::R8G8B8;
  info.fileFormat = FileFormat::Jpg;
}

// Adobe writes CMYK inverted (255 = no ink); others write it straight.
void CmykToTexels(uint32_t* row, uint32_t count, bool inverted) {
  auto* bytes = reinterpret_cast<uint8_t*>(row);
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t c = bytes[4 * i], m = bytes[4 * i + 1], y = bytes[4 * i + 2], k = bytes[4 * i + 3];
    if (!inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    row[i] = MakeTexel((c * k + 127) / 255, (m * k + 127) / 255, (y * k + 127) / 255);
  }
}

}  // namespace

int ChooseDctScale(uint32_t width, uint32_t height, uint32_t wantWidth, uint32_t wantHeight) {
  for (int m = 1; m < 8; ++m) {
    const uint64_t w = (uint64_t(width) * m + 7) / 8;
    const uint64_t h = (uint64_t(height) * m + 7) / 8;
    if (w >= wantWidth && h >= wantHeight) return m;
  }
  return 8;
}

ImageResult ReadJpegInfo(const uint8_t* data, size_t size, SourceInfo& info) {
  if (data == nullptr || size < 4) return kImageInvalid;
  if (size > 0xFFFFFFFFu) return kImageTooLarge;
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  InstallHandlers(cinfo, err);
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return MapError(err.code);
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  ImageResult r = CheckSize(cinfo.image_width, cinfo.image_height, size);
  if (r == kImageOk) FillInfo(cinfo, ReadJpegOrientation(data, size), info);
  jpeg_destroy_decompress(&cinfo);
  return r;
}

ImageResult DecodeJpeg(const uint8_t* data, size_t size, const DecodeOptions& options,
                       Image& decoded, SourceInfo& info, int* dctScale) {
  if (data == nullptr || size < 4) return kImageInvalid;
  if (size > 0xFFFFFFFFu) return kImageTooLarge;
  const int orientation = ReadJpegOrientation(data, size);
  const bool swap = OrientationSwapsAxes(orientation);
  ImageSink sink;
  Image stored;
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  CancelMonitor monitor{};
  monitor.pub.progress_monitor = CheckCancel;
  monitor.keepGoing = options.keepGoing;
  InstallHandlers(cinfo, err);
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return MapError(err.code);
  }
  jpeg_create_decompress(&cinfo);
  cinfo.progress = &monitor.pub;
  cinfo.mem->max_memory_to_use = kJpegMemoryLimit;
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  ImageResult r = CheckSize(cinfo.image_width, cinfo.image_height, size);
  if (r != kImageOk) {
    jpeg_destroy_decompress(&cinfo);
    return r;
  }
  FillInfo(cinfo, orientation, info);
  const uint32_t wantWidth = options.width ? options.width : info.width;
  const uint32_t wantHeight = options.height ? options.height : info.height;
  // The size wanted before the picture is turned upright.
  const uint32_t storedWidth = swap ? wantHeight : wantWidth;
  const uint32_t storedHeight = swap ? wantWidth : wantHeight;
  int scale = 8;
  if (options.allowDctScaling && (options.filter & 0xFF) != kFilterNone) {
    scale = ChooseDctScale(cinfo.image_width, cinfo.image_height, storedWidth, storedHeight);
  }
  cinfo.scale_num = scale;
  cinfo.scale_denom = 8;
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  jpeg_start_decompress(&cinfo);
  sink = ImageSink(storedWidth, storedHeight, options.filter, options.colorKey);
  sink.SetKeepGoing(options.keepGoing);
  r = sink.Begin(cinfo.output_width, cinfo.output_height);
  if (r != kImageOk) {
    jpeg_destroy_decompress(&cinfo);
    return r;
  }
  const bool inverted = cinfo.saw_Adobe_marker;
  while (cinfo.output_scanline < cinfo.output_height) {
    if (sink.Cancelled()) {
      jpeg_destroy_decompress(&cinfo);
      return kImageCancelled;
    }
    uint32_t* row = sink.NextRow();
    JSAMPROW samples = reinterpret_cast<JSAMPROW>(row);
    if (jpeg_read_scanlines(&cinfo, &samples, 1) != 1) continue;
    if (cmyk) CmykToTexels(row, cinfo.output_width, inverted);
    sink.CommitRow();
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  if (dctScale != nullptr) *dctScale = scale;
  r = sink.Finish(stored);
  if (r != kImageOk) return r;
  return TurnUpright(std::move(stored), orientation, decoded);
}

}  // namespace imaging
