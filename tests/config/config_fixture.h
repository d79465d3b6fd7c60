// A scratch installation for the configuration tests: its folder in "InstallPath", data\tdef
// and data\grad, a per-user data folder of its own, and clean settings keys.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "show/show_state.h"
#include "support/test_support.h"

namespace testing_support {

class ScratchInstall {
 public:
  ScratchInstall();
  ~ScratchInstall();
  ScratchInstall(const ScratchInstall&) = delete;
  ScratchInstall& operator=(const ScratchInstall&) = delete;

  const std::string& root() const { return install_.path(); }
  const char* dir() const { return install_.path().c_str(); }  // the InstallDir
  std::string ThemePath(const std::string& name) const;
  std::string UserFolder() const;
  // Writes the theme file data\tdef\name.
  void WriteThemes(const std::string& name, const std::string& text) const;
  std::string ReadThemes(const std::string& name) const;
  // "InstallPath" and any DWORD settings value in the machine-wide key.
  void SetDword(const char* name, DWORD value) const;
  bool GetDword(const char* name, DWORD* value) const;

 private:
  CleanSettingsKeys keys_;
  TempFolder install_;
  TempFolder user_;
};

// A show state whose data folder is the scratch installation.
ShowState InstalledState(const ScratchInstall& install);

// A 24-bit bottom-up BMP whose top `topRows` rows are `top` and the rest `bottom`
// (colours 0x00RRGGBB).
void WriteBmp(const std::string& path, int width, int height, int topRows, uint32_t top,
              uint32_t bottom);

}  // namespace testing_support
