// DDS files: the header, every surface of every mip level and cube face, and the first
// surface through DecodeImage as the texture loaders take it.
#include "image/dds_reader.h"
#include "image/image_decode.h"
#include "image_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace imaging;
  DdsFile file;
  if (ReadDds(data, size, file) != kImageOk) return 0;
  native_fuzz::Expect(file.surfaces.size() == size_t(file.faces) * file.mipLevels);
  for (const DdsSurface& surface : file.surfaces) {
    native_fuzz::Expect(surface.data >= data && surface.size <= size_t(data + size - surface.data));
    Image level;
    if (DecodeDdsSurface(file, surface, level) == kImageOk) {
      native_fuzz::CheckDecoded(level, surface.width, surface.height);
    }
  }
  native_fuzz::RunImageCase(data, size, ProbeImage, DecodeImage);
  return 0;
}
