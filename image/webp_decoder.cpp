// libwebp reports every failure as a status code, never by ending the process. The decode is
// incremental, fed a slice of the file at a time, so a cancelled decode stops between slices.
#include "image/webp_decoder.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include <webp/decode.h>

#include "image/exif_orientation.h"
#include "image/image_scale.h"

namespace imaging {
namespace {

constexpr size_t kSliceBytes = 64 * 1024;

uint32_t Read32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// The EXIF chunk of an extended file; some writers keep the "Exif\0\0" prefix of JPEG's APP1.
int ReadWebpOrientation(const uint8_t* data, size_t size) {
  size_t pos = 12;
  while (pos + 8 <= size) {
    const uint32_t length = Read32(data + pos + 4);
    if (length > size - pos - 8) return 1;
    if (std::memcmp(data + pos, "EXIF", 4) == 0) {
      const uint8_t* exif = data + pos + 8;
      size_t n = length;
      if (n >= 6 && std::memcmp(exif, "Exif\0\0", 6) == 0) {
        exif += 6;
        n -= 6;
      }
      return OrientationFromTiff(exif, n);
    }
    pos += 8 + size_t(length) + (length & 1);
  }
  return 1;
}

ImageResult MapStatus(VP8StatusCode status) {
  switch (status) {
    case VP8_STATUS_OK: return kImageOk;
    case VP8_STATUS_OUT_OF_MEMORY: return kImageOutOfMemory;
    case VP8_STATUS_UNSUPPORTED_FEATURE: return kImageUnsupported;
    case VP8_STATUS_SUSPENDED:
    case VP8_STATUS_NOT_ENOUGH_DATA: return kImageTruncated;
    case VP8_STATUS_USER_ABORT: return kImageCancelled;
    default: return kImageInvalid;
  }
}

ImageResult ReadFeatures(const uint8_t* data, size_t size, WebPBitstreamFeatures& features,
                         int& orientation, SourceInfo& info) {
  if (!LooksLikeWebp(data, size)) return kImageInvalid;
  const ImageResult r = MapStatus(WebPGetFeatures(data, size, &features));
  if (r != kImageOk) return r;
  const uint32_t width = uint32_t(features.width), height = uint32_t(features.height);
  if (width == 0 || height == 0) return kImageInvalid;
  if (uint64_t(width) * height > kMaxImagePixels) return kImageTooLarge;
  orientation = ReadWebpOrientation(data, size);
  const bool swap = OrientationSwapsAxes(orientation);
  info = SourceInfo();
  info.width = swap ? height : width;
  info.height = swap ? width : height;
  info.hasAlpha = features.has_alpha != 0;
  info.format = info.hasAlpha ? PixelFormat::A8R8G8B8 : PixelFormat::X8R8G8B8;
  info.fileFormat = FileFormat::Webp;
  return kImageOk;
}

// Feeds the file a slice at a time into `out` (BGRA rows, which is our texel layout).
ImageResult DecodeInto(const uint8_t* data, size_t size, WebPDecoderConfig& config, Image& out,
                       const std::atomic<bool>* keepGoing) {
  config.output.colorspace = MODE_BGRA;
  config.output.is_external_memory = 1;
  config.output.u.RGBA.rgba = reinterpret_cast<uint8_t*>(out.texels.data());
  config.output.u.RGBA.stride = int(out.width * 4);
  config.output.u.RGBA.size = out.texels.size() * 4;
  WebPIDecoder* decoder = WebPIDecode(nullptr, 0, &config);
  if (decoder == nullptr) return kImageOutOfMemory;
  VP8StatusCode status = VP8_STATUS_SUSPENDED;
  size_t fed = 0;
  while (status == VP8_STATUS_SUSPENDED && fed < size) {
    if (keepGoing != nullptr && !keepGoing->load()) {
      WebPIDelete(decoder);
      return kImageCancelled;
    }
    fed = std::min(size, fed + kSliceBytes);
    status = WebPIUpdate(decoder, data, fed);
  }
  WebPIDelete(decoder);
  WebPFreeDecBuffer(&config.output);
  return MapStatus(status);
}

}  // namespace

bool LooksLikeWebp(const uint8_t* data, size_t size) {
  return data != nullptr && size >= 12 && std::memcmp(data, "RIFF", 4) == 0 &&
         std::memcmp(data + 8, "WEBP", 4) == 0;
}

ImageResult ReadWebpInfo(const uint8_t* data, size_t size, SourceInfo& info) {
  WebPBitstreamFeatures features;
  int orientation = 1;
  return ReadFeatures(data, size, features, orientation, info);
}

ImageResult DecodeWebp(const uint8_t* data, size_t size, const DecodeOptions& options,
                       Image& decoded, SourceInfo& info, uint32_t* scaledWidth,
                       uint32_t* scaledHeight) {
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config)) return kImageUnsupported;
  int orientation = 1;
  ImageResult r = ReadFeatures(data, size, config.input, orientation, info);
  if (r != kImageOk) return r;
  const bool swap = OrientationSwapsAxes(orientation);
  const uint32_t wantWidth = options.width ? options.width : info.width;
  const uint32_t wantHeight = options.height ? options.height : info.height;
  // The size wanted before the picture is turned upright.
  const uint32_t storedWidth = swap ? wantHeight : wantWidth;
  const uint32_t storedHeight = swap ? wantWidth : wantHeight;
  uint32_t outWidth = uint32_t(config.input.width), outHeight = uint32_t(config.input.height);
  if (options.allowDctScaling && (options.filter & 0xFF) != kFilterNone) {
    ChooseCoveringSize(outWidth, outHeight, storedWidth, storedHeight, outWidth, outHeight);
  }
  if (outWidth != uint32_t(config.input.width) || outHeight != uint32_t(config.input.height)) {
    config.options.use_scaling = 1;
    config.options.scaled_width = int(outWidth);
    config.options.scaled_height = int(outHeight);
  }
  Image out;
  r = AllocateImage(out, outWidth, outHeight);
  if (r == kImageOk) r = DecodeInto(data, size, config, out, options.keepGoing);
  if (r != kImageOk) return r;
  if (scaledWidth != nullptr) *scaledWidth = outWidth;
  if (scaledHeight != nullptr) *scaledHeight = outHeight;
  ImageSink sink(storedWidth, storedHeight, options.filter, options.colorKey);
  Image stored;
  r = sink.PushImage(std::move(out));
  if (r == kImageOk) r = sink.Finish(stored);
  if (r != kImageOk) return r;
  return TurnUpright(std::move(stored), orientation, decoded);
}

}  // namespace imaging
