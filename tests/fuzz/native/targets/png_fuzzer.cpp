// The PNG reader, through the row sink the slideshow uses.
#include "d3dx/png_decoder.h"
#include "image_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace d3dx_image;
  native_fuzz::RunImageCase(data, size, ReadPngInfo,
                            native_fuzz::DecodeThroughSink<DecodePng>);
  return 0;
}
