// Helpers shared by the tests: scratch folders, a clean settings key, answered message boxes,
// the shared test data.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

constexpr const char* kSettingsPath = "Software\\Korrin Software\\Solvane 7.0";

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "\\" + name; }
  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;

 private:
  std::string path_;
};

// Removes the product's key under HKLM and HKCU now and again when destroyed.
class CleanSettingsKeys {
 public:
  CleanSettingsKeys();
  ~CleanSettingsKeys();
  static void Clear();
};

// Records every message box instead of showing it, while alive.
class MessageBoxRecorder {
 public:
  struct Box {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
  };
  MessageBoxRecorder();
  ~MessageBoxRecorder();
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;
  const std::vector<Box>& boxes() const;
  void SetAnswer(int answer);
};

// A path under the shared test data folder. A missing folder fails the calling test: a test
// that finds none of its files must not pass for it.
std::string TestDataPath(const std::string& relative);

void DeleteTree(const std::string& path);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace testing_support
