#include "xfile/media_path.h"

#include <cstdio>
#include <cstring>

#include "base/registry_keys.h"
#include "base/scoped_handle.h"
#include "base/text_copy.h"

namespace {

char g_mediaDirectory[MAX_PATH];
const char kEmptyText[1] = "";

constexpr DWORD kFullPathSize = 1024;

// The file is only opened to see that it can be; it is closed at once.
bool CanOpen(const char* path) {
  ScopedHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.valid();
}

// Copies a found path when it fits.
bool Accept(char* output, size_t outputSize, const char* path) {
  if (std::strlen(path) >= outputSize) return false;
  CopyText(output, path, outputSize);
  return true;
}

}  // namespace

const char* GetMediaDirectory() {
  ScopedKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\DirectX SDK", 0, KEY_READ,
                    key.Receive()) != ERROR_SUCCESS)
    return kEmptyText;
  DWORD type = 0;
  DWORD size = sizeof(g_mediaDirectory);
  LONG result = RegQueryValueExA(key.get(), "DX81SDK Samples Path", nullptr, &type,
                                 reinterpret_cast<BYTE*>(g_mediaDirectory), &size);
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return kEmptyText;
  // The stored text need not end in a zero; and "\Media\" must still fit behind it.
  g_mediaDirectory[size < sizeof(g_mediaDirectory) ? size : sizeof(g_mediaDirectory) - 1] = '\0';
  size_t length = std::strlen(g_mediaDirectory);
  const char suffix[] = "\\Media\\";
  if (length + sizeof(suffix) > sizeof(g_mediaDirectory)) return kEmptyText;
  std::memcpy(g_mediaDirectory + length, suffix, sizeof(suffix));
  return g_mediaDirectory;
}

HRESULT FindMediaFile(char* output, const char* name, size_t outputSize) {
  if (output == nullptr || name == nullptr || outputSize == 0) return E_INVALIDARG;
  char fullPath[kFullPathSize];
  char* filePart = nullptr;
  DWORD length = GetFullPathNameA(name, kFullPathSize, fullPath, &filePart);
  if (length == 0 || length >= kFullPathSize) {
    CopyText(output, name, outputSize);
    return E_FAIL;
  }
  if (CanOpen(fullPath) && Accept(output, outputSize, fullPath)) return S_OK;
  // A name ending in a separator has no file part.
  const char* bareName = filePart != nullptr ? filePart : "";
  if (*bareName != '\0') {
    if (CanOpen(bareName) && Accept(output, outputSize, bareName)) return S_OK;
    char mediaPath[kFullPathSize];
    int written =
        std::snprintf(mediaPath, sizeof(mediaPath), "%s%s", GetMediaDirectory(), bareName);
    if (written > 0 && static_cast<size_t>(written) < sizeof(mediaPath) && CanOpen(mediaPath) &&
        Accept(output, outputSize, mediaPath))
      return S_OK;
  }
  CopyText(output, name, outputSize);
  return E_FAIL;
}
