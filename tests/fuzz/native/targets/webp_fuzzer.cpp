// The WebP reader (libwebp under our wrapper), with its scaled decode and EXIF orientation.
#include "image/webp_decoder.h"
#include "image_target.h"

namespace {

imaging::ImageResult Decode(const uint8_t* data, size_t size,
                            const imaging::DecodeOptions& options, imaging::Image& decoded,
                            imaging::SourceInfo& info) {
  return imaging::DecodeWebp(data, size, options, decoded, info);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  native_fuzz::RunImageCase(data, size, imaging::ReadWebpInfo, Decode);
  return 0;
}
