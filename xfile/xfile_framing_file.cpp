// The framing check of a file on disk; the checks themselves work on bytes in memory.
#include "xfile/compressed_xfile.h"

#include <windows.h>

#include <vector>

#include "base/whole_file.h"

HRESULT CheckXFileFraming(const char* path) {
  std::vector<uint8_t> bytes;
  const HRESULT hr = ReadWholeFile(path, kMaxCompressedXFile, bytes);
  // One too large or unreadable is refused; one we cannot open is DirectX File's to report.
  if (hr == E_OUTOFMEMORY || hr == E_FAIL) return E_FAIL;
  if (FAILED(hr)) return S_OK;
  return XFileBytesAreSound(bytes.data(), bytes.size()) ? S_OK : E_FAIL;
}
