#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "base/message_box.h"

namespace testing_support {

namespace {

std::vector<MessageBoxRecorder::Box> recordedBoxes;
int recordedAnswer = IDOK;
MessageBoxFn previousMessageBox = nullptr;

int WINAPI RecordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  recordedBoxes.push_back({owner, text ? text : "", caption ? caption : "", type});
  return recordedAnswer;
}

}  // namespace

TempFolder::TempFolder() {
  char base[MAX_PATH];
  GetTempPathA(sizeof base, base);
  static unsigned counter = 0;
  char name[MAX_PATH + 64];
  std::snprintf(name, sizeof name, "%ssolvane-test-%lu-%u-%lu", base, GetCurrentProcessId(),
                ++counter, GetTickCount());
  path_ = name;
  CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() { DeleteTree(path_); }

void TempFolder::Write(const std::string& name, const std::string& bytes) const {
  WriteFileBytes(File(name), bytes);
}

std::string TempFolder::Read(const std::string& name) const { return ReadFileBytes(File(name)); }

std::string TestDataPath(const std::string& relative) {
  const DWORD folder = GetFileAttributesA(SOLVANE_TESTDATA);
  if (folder == INVALID_FILE_ATTRIBUTES || !(folder & FILE_ATTRIBUTE_DIRECTORY)) {
    ADD_FAILURE() << "the shared test data folder " SOLVANE_TESTDATA
                     " is missing: it belongs beside the repository as shared/testdata";
  }
  return relative.empty() ? SOLVANE_TESTDATA : SOLVANE_TESTDATA "/" + relative;
}

void DeleteTree(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string child = path + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteTree(child);
      } else {
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path.c_str());
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

CleanSettingsKeys::CleanSettingsKeys() { Clear(); }
CleanSettingsKeys::~CleanSettingsKeys() { Clear(); }

void CleanSettingsKeys::Clear() {
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsPath);
  RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsPath);
}

MessageBoxRecorder::MessageBoxRecorder() {
  recordedBoxes.clear();
  recordedAnswer = IDOK;
  previousMessageBox = g_messageBox;
  g_messageBox = RecordMessageBox;
}

MessageBoxRecorder::~MessageBoxRecorder() { g_messageBox = previousMessageBox; }

const std::vector<MessageBoxRecorder::Box>& MessageBoxRecorder::boxes() const {
  return recordedBoxes;
}

void MessageBoxRecorder::SetAnswer(int answer) { recordedAnswer = answer; }

}  // namespace testing_support
