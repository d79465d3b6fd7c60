// The JPEG reader (libjpeg-turbo under our wrapper), with DCT scaling and EXIF orientation.
#include "image/jpeg_decoder.h"
#include "image_target.h"

namespace {

imaging::ImageResult Decode(const uint8_t* data, size_t size,
                               const imaging::DecodeOptions& options, imaging::Image& decoded,
                               imaging::SourceInfo& info) {
  return imaging::DecodeJpeg(data, size, options, decoded, info);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  native_fuzz::RunImageCase(data, size, imaging::ReadJpegInfo, Decode);
  return 0;
}
