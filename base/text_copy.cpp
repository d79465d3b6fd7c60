#include "base/text_copy.h"

#include <cstring>

void CopyText(char* destination, const char* source, size_t count) {
  if (destination == nullptr || source == nullptr || count == 0) return;
  if (count == static_cast<size_t>(-1)) {
    std::memmove(destination, source, std::strlen(source) + 1);
    return;
  }
  std::strncpy(destination, source, count);
  destination[count - 1] = '\0';
}
