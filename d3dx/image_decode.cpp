// Format dispatch. JPEG does its own reduction while decoding; the other formats are decoded
// whole (they are small in practice) and then resampled.
#include "d3dx/image_decode.h"

#include <cstring>
#include <utility>

#include "d3dx/bmp_decoder.h"
#include "d3dx/color_key.h"
#include "d3dx/dds_reader.h"
#include "d3dx/image_scale.h"
#include "d3dx/jpeg_decoder.h"
#include "d3dx/png_decoder.h"
#include "d3dx/tga_decoder.h"

namespace d3dx_image {

DetectedFormat DetectFormat(const uint8_t* data, size_t size) {
  if (data == nullptr || size < 4) return DetectedFormat::Unknown;
  if (data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return DetectedFormat::Jpeg;
  if (size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0) return DetectedFormat::Png;
  if (data[0] == 'B' && data[1] == 'M') return DetectedFormat::Bmp;
  if (std::memcmp(data, "DDS ", 4) == 0) return DetectedFormat::Dds;
  SourceInfo info;
  if (ReadTgaInfo(data, size, info) == kImageOk) return DetectedFormat::Tga;
  return DetectedFormat::Unknown;
}

ImageResult ProbeImage(const uint8_t* data, size_t size, SourceInfo& info) {
  switch (DetectFormat(data, size)) {
    case DetectedFormat::Jpeg: return ReadJpegInfo(data, size, info);
    case DetectedFormat::Png: return ReadPngInfo(data, size, info);
    case DetectedFormat::Bmp: return ReadBmpInfo(data, size, info);
    case DetectedFormat::Dds: return ReadDdsInfo(data, size, info);
    case DetectedFormat::Tga: return ReadTgaInfo(data, size, info);
    default: return kImageInvalid;
  }
}

ImageResult FinishImage(Image& source, const DecodeOptions& options, Image& finished) {
  ApplyColorKey(source.texels.data(), source.texels.size(), options.colorKey);
  const uint32_t width = options.width ? options.width : source.width;
  const uint32_t height = options.height ? options.height : source.height;
  if (width == source.width && height == source.height) {
    finished = std::move(source);
    return kImageOk;
  }
  return ScaleImage(source, width, height, options.filter, finished);
}

ImageResult DecodeImage(const uint8_t* data, size_t size, const DecodeOptions& options,
                        Image& decoded, SourceInfo& info) {
  Image whole;
  ImageResult r;
  switch (DetectFormat(data, size)) {
    case DetectedFormat::Jpeg:
      return DecodeJpeg(data, size, options, decoded, info);
    case DetectedFormat::Png:
      r = DecodePng(data, size, whole, info);
      break;
    case DetectedFormat::Bmp:
      r = DecodeBmp(data, size, whole, info);
      break;
    case DetectedFormat::Tga:
      r = DecodeTga(data, size, whole, info);
      break;
    case DetectedFormat::Dds: {
      DdsFile file;
      r = ReadDds(data, size, file);
      if (r == kImageOk) r = ReadDdsInfo(data, size, info);
      if (r == kImageOk) r = DecodeDdsSurface(file, file.surfaces[0], whole);
      break;
    }
    default:
      return kImageInvalid;
  }
  if (r != kImageOk) return r;
  return FinishImage(whole, options, decoded);
}

}  // namespace d3dx_image
