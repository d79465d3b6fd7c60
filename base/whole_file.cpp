#include "base/whole_file.h"

#include <cstdio>

FileWriteCalls g_fileWriteCalls = {CreateFileA, WriteFile};

namespace {

constexpr DWORD kChunk = 1u << 16;

class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() { Close(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  bool Close() {
    const bool ok = valid() && CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE handle_;
};

bool WriteAll(HANDLE file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD want = bytes.size() - done < kChunk ? static_cast<DWORD>(bytes.size() - done)
                                                     : kChunk;
    DWORD written = 0;
    if (!g_fileWriteCalls.writeFile(file, bytes.data() + done, want, &written, nullptr) ||
        written == 0) {
      return false;
    }
    done += written;
  }
  return true;
}

}  // namespace

bool WriteWholeFile(const char* path, const std::string& bytes) {
  if (path == nullptr || path[0] == '\0') return false;
  // Beside the target, so that the final move stays on one volume and is a rename.
  char temporary[MAX_PATH * 2 + 32];
  HANDLE created = INVALID_HANDLE_VALUE;
  for (unsigned attempt = 0; attempt < 16 && created == INVALID_HANDLE_VALUE; ++attempt) {
    const int length = std::snprintf(temporary, sizeof temporary, "%s.%lx-%u.tmp", path,
                                     static_cast<unsigned long>(GetCurrentProcessId()), attempt);
    if (length < 0 || static_cast<size_t>(length) >= sizeof temporary) return false;
    created = g_fileWriteCalls.createFile(temporary, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  ScopedHandle file(created);
  if (!file.valid()) return false;
  const bool written = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
  if (!file.Close() || !written ||
      !MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(temporary);
    return false;
  }
  return true;
}
