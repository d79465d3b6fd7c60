#include "base/whole_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/scoped_handle.h"

FileWriteCalls g_fileWriteCalls = {CreateFileA, WriteFile};

namespace {

constexpr DWORD kChunk = 1u << 16;

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
  // The name grows the target's by a few characters; where that would pass MAX_PATH, a short
  // name in the same folder serves, and a folder too deep even for that refuses the write.
  const char* slash = std::strrchr(path, '\\');
  const int folderLength = slash != nullptr ? static_cast<int>(slash - path) : 0;
  char temporary[MAX_PATH];
  HANDLE created = INVALID_HANDLE_VALUE;
  for (unsigned attempt = 0; attempt < 16 && created == INVALID_HANDLE_VALUE; ++attempt) {
    const unsigned long process = GetCurrentProcessId();
    int length = std::snprintf(temporary, sizeof temporary, "%s.%lx-%u.tmp", path, process,
                               attempt);
    if (length < 0 || static_cast<size_t>(length) >= sizeof temporary) {
      length = std::snprintf(temporary, sizeof temporary, "%.*s%s~%lx-%u.tmp", folderLength,
                             path, slash != nullptr ? "\\" : "", process, attempt);
    }
    if (length < 0 || static_cast<size_t>(length) >= sizeof temporary) return false;
    created = g_fileWriteCalls.createFile(temporary, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  ScopedHandle file(created);
  if (!file.valid()) return false;
  const bool written = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
  // A failing close can be the first sign of a write that did not reach the disk.
  const bool closed = CloseHandle(file.Detach()) != FALSE;
  if (!closed || !written ||
      !MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(temporary);
    return false;
  }
  return true;
}

// Small enough that a cancel is seen within a few milliseconds on a slow disk or share.
constexpr size_t kReadPiece = size_t(1) << 20;

HRESULT ReadWholeFile(const char* path, uint64_t maxBytes, std::vector<uint8_t>& bytes,
                      const std::atomic<bool>* keepGoing) {
  bytes.clear();
  if (path == nullptr) return E_INVALIDARG;
  ScopedHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return HRESULT_FROM_WIN32(GetLastError());
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return E_FAIL;
  if (static_cast<uint64_t>(size.QuadPart) > maxBytes) return E_OUTOFMEMORY;
  try {
    bytes.resize(static_cast<size_t>(size.QuadPart));
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  size_t done = 0;
  while (done < bytes.size()) {
    if (keepGoing != nullptr && !keepGoing->load()) {
      bytes.clear();
      return E_ABORT;
    }
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kReadPiece));
    if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr) || got == 0) {
      bytes.clear();
      return E_FAIL;
    }
    done += got;
  }
  return S_OK;
}
