// Format dispatch. Every decoder feeds its rows to an ImageSink, which reduces them as they come;
// JPEG and WebP set up their own, since their decoder-side scaling and EXIF orientation depend
// on the size asked for.
#include "image/image_decode.h"

#include <cstring>
#include <utility>

#include "image/bmp_decoder.h"
#include "image/dds_reader.h"
#include "image/image_scale.h"
#include "image/jpeg_decoder.h"
#include "image/png_decoder.h"
#include "image/tga_decoder.h"
#include "image/webp_decoder.h"

namespace imaging {

DetectedFormat DetectFormat(const uint8_t* data, size_t size) {
  if (data == nullptr || size < 4) return DetectedFormat::Unknown;
  if (data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return DetectedFormat::Jpeg;
  if (size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0) return DetectedFormat::Png;
  if (data[0] == 'B' && data[1] == 'M') return DetectedFormat::Bmp;
  if (std::memcmp(data, "DDS ", 4) == 0) return DetectedFormat::Dds;
  if (LooksLikeWebp(data, size)) return DetectedFormat::Webp;
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
    case DetectedFormat::Webp: return ReadWebpInfo(data, size, info);
    default: return kImageInvalid;
  }
}

ImageResult FinishImage(Image& source, const DecodeOptions& options, Image& finished) {
  ImageSink sink(options.width, options.height, options.filter, options.colorKey);
  const ImageResult r = sink.PushImage(std::move(source));
  return r == kImageOk ? sink.Finish(finished) : r;
}

ImageResult DecodeImage(const uint8_t* data, size_t size, const DecodeOptions& options,
                        Image& decoded, SourceInfo& info) {
  ImageSink sink(options.width, options.height, options.filter, options.colorKey);
  sink.SetKeepGoing(options.keepGoing);
  ImageResult r;
  switch (DetectFormat(data, size)) {
    case DetectedFormat::Jpeg:
      return DecodeJpeg(data, size, options, decoded, info);
    case DetectedFormat::Webp:
      return DecodeWebp(data, size, options, decoded, info);
    case DetectedFormat::Png:
      r = DecodePng(data, size, sink, info);
      break;
    case DetectedFormat::Bmp:
      r = DecodeBmp(data, size, sink, info);
      break;
    case DetectedFormat::Tga:
      r = DecodeTga(data, size, sink, info);
      break;
    case DetectedFormat::Dds: {
      DdsFile file;
      Image whole;
      r = ReadDds(data, size, file);
      if (r == kImageOk) r = ReadDdsInfo(data, size, info);
      if (r == kImageOk) r = DecodeDdsSurface(file, file.surfaces[0], whole, options.keepGoing);
      if (r == kImageOk) r = sink.PushImage(std::move(whole));
      break;
    }
    default:
      return kImageInvalid;
  }
  return r == kImageOk ? sink.Finish(decoded) : r;
}

}  // namespace imaging
