// The framing check of a file on disk; the checks themselves work on bytes in memory.
#include "xfile/compressed_xfile.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "base/scoped_handle.h"

HRESULT CheckXFileFraming(const char* path) {
  ScopedHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  // A file we cannot open is DirectX File's to report.
  if (!file) return S_OK;
  uint8_t header[kXFileHeaderSize];
  DWORD read = 0;
  LARGE_INTEGER fileSize;
  // Text files DirectX File parses safely; the others are checked here first.
  if (!ReadFile(file.get(), header, sizeof(header), &read, nullptr) ||
      !(IsCompressedXFileHeader(header, read) || IsBinaryXFileHeader(header, read))) {
    return S_OK;
  }
  if (!GetFileSizeEx(file.get(), &fileSize) || fileSize.QuadPart < 0 ||
      static_cast<uint64_t>(fileSize.QuadPart) > kMaxCompressedXFile) {
    return E_FAIL;
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(fileSize.QuadPart));
  std::memcpy(bytes.data(), header, sizeof(header));
  size_t filled = sizeof(header);
  while (filled < bytes.size()) {
    DWORD chunk = 0;
    DWORD want = static_cast<DWORD>(bytes.size() - filled);
    if (!ReadFile(file.get(), bytes.data() + filled, want, &chunk, nullptr) || chunk == 0) break;
    filled += chunk;
  }
  // The rest works on the bytes in memory.
  file.Reset();
  if (filled != bytes.size()) return E_FAIL;
  return XFileBytesAreSound(bytes.data(), bytes.size()) ? S_OK : E_FAIL;
}
