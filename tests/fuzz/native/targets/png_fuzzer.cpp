// The PNG reader, through the row sink the slideshow uses.
#include "image/png_decoder.h"
#include "image_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace imaging;
  native_fuzz::RunImageCase(data, size, ReadPngInfo,
                            native_fuzz::DecodeThroughSink<DecodePng>);
  return 0;
}
