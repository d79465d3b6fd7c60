// The JPEG reader (libjpeg-turbo under our wrapper), with DCT scaling and EXIF orientation.
#include "d3dx/jpeg_decoder.h"
#include "image_target.h"

namespace {

d3dx_image::ImageResult Decode(const uint8_t* data, size_t size,
                               const d3dx_image::DecodeOptions& options, d3dx_image::Image& decoded,
                               d3dx_image::SourceInfo& info) {
  return d3dx_image::DecodeJpeg(data, size, options, decoded, info);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  native_fuzz::RunImageCase(data, size, d3dx_image::ReadJpegInfo, Decode);
  return 0;
}
