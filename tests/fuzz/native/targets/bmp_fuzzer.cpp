// The BMP reader, through the row sink the slideshow uses.
#include "image/bmp_decoder.h"
#include "image_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace imaging;
  native_fuzz::RunImageCase(data, size, ReadBmpInfo,
                            native_fuzz::DecodeThroughSink<DecodeBmp>);
  return 0;
}
