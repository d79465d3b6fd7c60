// The checks that run before DirectX File sees a binary or compressed .x file: header, block
// framing, the deflate data of each block, and the token walk of what it unpacks to.
#include "xfile/compressed_xfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  XFileBytesAreSound(data, size);
  // The token walk alone over the raw bytes, with both float sizes.
  BinaryXFileTokensAreSound(data, size, 4);
  BinaryXFileTokensAreSound(data, size, 8);
  return 0;
}
