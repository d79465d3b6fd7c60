#include "config/config_fixture.h"

#include <cstring>
#include <vector>

#include "base/data_paths.h"

namespace testing_support {

namespace {

std::string userFolder;

bool ScratchUserFolder(char* out, size_t size) {
  return FormatPath(out, size, "%s", userFolder.c_str());
}

}  // namespace

ScratchInstall::ScratchInstall() {
  CreateDirectoryA((install_.path() + "\\data").c_str(), nullptr);
  CreateDirectoryA((install_.path() + "\\data\\tdef").c_str(), nullptr);
  CreateDirectoryA((install_.path() + "\\data\\grad").c_str(), nullptr);
  for (int i = 1; i <= 10; ++i) {
    // Gradient n: its top row red, the rest a shade of blue.
    WriteBmp(install_.path() + "\\data\\grad\\l" + std::to_string(i) + ".bmp", 16, 16, 1, 0xff0000,
             0x000000 + static_cast<uint32_t>(i * 20));
  }
  userFolder = user_.path() + "\\Solvane 7.0";
  g_userDataFolder = ScratchUserFolder;
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &key, nullptr) == ERROR_SUCCESS) {
    RegSetValueExA(key, "InstallPath", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(install_.path().c_str()),
                   static_cast<DWORD>(install_.path().size() + 1));
    RegCloseKey(key);
  }
}

ScratchInstall::~ScratchInstall() {
  g_userDataFolder = SystemUserDataFolder;
}

std::string ScratchInstall::ThemePath(const std::string& name) const {
  return install_.path() + "\\data\\tdef\\" + name;
}

std::string ScratchInstall::UserFolder() const { return userFolder; }

void ScratchInstall::WriteThemes(const std::string& name, const std::string& text) const {
  WriteFileBytes(ThemePath(name), text);
}

std::string ScratchInstall::ReadThemes(const std::string& name) const {
  return ReadFileBytes(ThemePath(name));
}

void ScratchInstall::SetDword(const char* name, DWORD value) const {
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &key, nullptr) == ERROR_SUCCESS) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
  }
}

bool ScratchInstall::GetDword(const char* name, DWORD* value) const {
  DWORD size = sizeof *value;
  return RegGetValueA(HKEY_LOCAL_MACHINE, kSettingsPath, name, RRF_RT_REG_DWORD, nullptr, value,
                      &size) == ERROR_SUCCESS;
}

ShowState InstalledState(const ScratchInstall& install) {
  ShowState state;
  FormatPath(state.InstallDir, sizeof state.InstallDir, "%s", install.dir());
  return state;
}

void WriteBmp(const std::string& path, int width, int height, int topRows, uint32_t top,
              uint32_t bottom) {
  const int stride = (width * 3 + 3) & ~3;
  std::vector<char> pixels(static_cast<size_t>(stride) * height, 0);
  for (int y = 0; y < height; ++y) {
    // Rows are stored bottom-up.
    const uint32_t color = (height - 1 - y) < topRows ? top : bottom;
    for (int x = 0; x < width; ++x) {
      char* p = &pixels[static_cast<size_t>(y) * stride + x * 3];
      p[0] = static_cast<char>(color & 0xff);
      p[1] = static_cast<char>((color >> 8) & 0xff);
      p[2] = static_cast<char>((color >> 16) & 0xff);
    }
  }
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biSizeImage = static_cast<DWORD>(pixels.size());
  file.bfType = 0x4d42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
  bytes.append(pixels.data(), pixels.size());
  WriteFileBytes(path, bytes);
}

}  // namespace testing_support
