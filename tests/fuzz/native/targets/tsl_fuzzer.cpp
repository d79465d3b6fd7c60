// Picture lists (.tsl): every entry read from any text ends inside its fields.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "show/picture_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "r");
  if (file == nullptr) return 0;
  std::vector<PictureEntry> list;
  size_t refused = 0;
  ReadPictureListStream(file, list, &refused);
  std::fclose(file);
  for (const PictureEntry& entry : list) {
    if (std::memchr(entry.name, '\0', sizeof entry.name) == nullptr ||
        std::memchr(entry.path, '\0', sizeof entry.path) == nullptr) {
      std::abort();
    }
  }
  return 0;
}
