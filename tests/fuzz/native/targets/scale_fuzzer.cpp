// The area filter and its row-streaming form at random sizes and filters: the first bytes give
// the sizes, filter and colour key, the rest the texels. Streamed and whole must agree to the bit.
#include <cstring>

#include "image/color_key.h"
#include "image/image_scale.h"
#include "image_target.h"

namespace {

uint32_t Take(const uint8_t*& data, size_t& size, int bytes) {
  uint32_t value = 0;
  for (int i = 0; i < bytes && size > 0; ++i, ++data, --size) value |= uint32_t(*data) << (8 * i);
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace imaging;
  // Sides up to 4096 but at most 64 K texels each way: every tap pattern, including reductions
  // by thousands, without making a case slow.
  const uint32_t sourceWidth = 1 + Take(data, size, 2) % 4096;
  const uint32_t sourceHeight = 1 + Take(data, size, 2) % 4096;
  const uint32_t width = 1 + Take(data, size, 2) % 4096;
  const uint32_t height = 1 + Take(data, size, 2) % 4096;
  const uint32_t filters[] = {kFilterNone, kFilterPoint, kFilterLinear, kFilterTriangle,
                              kFilterBox};
  const uint8_t choice = uint8_t(Take(data, size, 1));
  uint32_t filter = filters[(choice & 0x7F) % 5];
  if (choice & 0x80) filter |= kFilterMirror | kFilterDither;
  const uint32_t colorKey = Take(data, size, 4);
  // Each source row is resampled across: the work grows with width times source height.
  if (uint64_t(sourceWidth) * sourceHeight > (1u << 16) || uint64_t(width) * height > (1u << 16) ||
      uint64_t(width) * sourceHeight > (1u << 20)) {
    return 0;
  }

  Image source;
  if (AllocateImage(source, sourceWidth, sourceHeight) != kImageOk) return 0;
  // The texels repeat what is left of the input, so a short input still fills the picture.
  for (size_t i = 0; i < source.texels.size(); ++i) {
    uint32_t texel = 0;
    if (size > 0) std::memcpy(&texel, data + (i * 4) % size, size - (i * 4) % size >= 4 ? 4 : 1);
    source.texels[i] = texel;
  }
  ApplyColorKey(source.texels.data(), source.texels.size(), colorKey);

  Image whole;
  const ImageResult scaled = ScaleImage(source, width, height, filter, whole);
  if (scaled != kImageOk) return 0;
  native_fuzz::CheckDecoded(whole, width, height);

  ImageSink sink(width, height, filter, 0);
  native_fuzz::Expect(sink.Begin(sourceWidth, sourceHeight) == kImageOk);
  for (uint32_t y = 0; y < sourceHeight; ++y) {
    std::memcpy(sink.NextRow(), source.Row(y), size_t(sourceWidth) * 4);
    sink.CommitRow();
  }
  Image streamed;
  native_fuzz::Expect(sink.Finish(streamed) == kImageOk);
  native_fuzz::Expect(streamed.texels == whole.texels);
  return 0;
}
