// A C stream that closes itself. Writers close it explicitly with CloseChecked, since a
// failing close can be the first sign of a write that did not reach the disk.
#pragma once

#include <cstdio>
#include <memory>

struct FileCloser {
  void operator()(std::FILE* file) const {
    if (file != nullptr) std::fclose(file);
  }
};
using ScopedFile = std::unique_ptr<std::FILE, FileCloser>;

inline ScopedFile OpenFile(const char* path, const char* mode) {
  return ScopedFile(std::fopen(path, mode));
}

// Closes now; false when the close reported an error (or nothing was open).
inline bool CloseChecked(ScopedFile& file) {
  std::FILE* raw = file.release();
  return raw != nullptr && std::fclose(raw) == 0;
}
