#include "support/saver_process.h"

#include <vector>

namespace testing_support {

namespace {

constexpr char kOverrideRoot[] = "Software\\Wine\\AppDefaults\\Solvane7.scr";
constexpr char kOverrideKey[] = "Software\\Wine\\AppDefaults\\Solvane7.scr\\DllOverrides";

struct Search {
  DWORD processId;
  const char* className;
  std::vector<HWND> found;
};

BOOL CALLBACK FindInProcess(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (owner == search->processId && lstrcmpA(name, search->className) == 0 &&
      IsWindowVisible(window)) {
    search->found.push_back(window);
  }
  return TRUE;
}

}  // namespace

double NowMs() {
  static LARGE_INTEGER frequency = {};
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return 1000.0 * double(now.QuadPart) / double(frequency.QuadPart);
}

void Pump(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  MSG message;
  for (;;) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (GetTickCount() - start >= milliseconds) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

SaverProcess::SaverProcess(const std::string& program, const std::string& arguments,
                           bool withoutDirect3D)
    : withoutDirect3D_(withoutDirect3D) {
  // Wine takes a per-program DLL override from the registry when the process starts; an
  // environment variable set here does not reach the child.
  if (withoutDirect3D_) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kOverrideKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) == ERROR_SUCCESS) {
      RegSetValueExA(key, "d3d8", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
      RegCloseKey(key);
    }
  }
  const std::string line = "\"" + program + "\" " + arguments;
  std::vector<char> text(line.begin(), line.end());
  text.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  started_ = CreateProcessA(nullptr, text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &info_) != 0;
}

SaverProcess::~SaverProcess() {
  if (withoutDirect3D_) RegDeleteTreeA(HKEY_CURRENT_USER, kOverrideRoot);
  if (!started_) return;
  if (!Close(10000)) TerminateProcess(info_.hProcess, 99);
  WaitForSingleObject(info_.hProcess, 5000);
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool SaverProcess::Running() const {
  return started_ && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<HWND> SaverProcess::TopLevels(const char* className) const {
  Search search = {info_.dwProcessId, className, {}};
  EnumWindows(FindInProcess, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND SaverProcess::FindTopLevel(const char* className, DWORD milliseconds) const {
  const DWORD start = GetTickCount();
  for (;;) {
    const std::vector<HWND> found = TopLevels(className);
    if (!found.empty() || !Running() || GetTickCount() - start >= milliseconds) {
      return found.empty() ? nullptr : found.front();
    }
    Pump(50);
  }
}

void SaverProcess::Settle(HWND window, DWORD milliseconds) const {
  for (int i = 0; i < 2; ++i) {
    DWORD_PTR result;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
    Pump(200);
  }
  Pump(milliseconds);
}

DWORD SaverProcess::WaitForExit(DWORD milliseconds) const {
  const DWORD start = GetTickCount();
  // Waiting on the process itself sees its end at once; this thread's windows still answer.
  while (Running() && GetTickCount() - start < milliseconds) {
    MsgWaitForMultipleObjects(1, &info_.hProcess, FALSE, 20, QS_ALLINPUT);
    Pump(0);
  }
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

bool SaverProcess::Close(DWORD milliseconds, DWORD* exitCode) const {
  const HWND window = FindTopLevel();
  if (window != nullptr) PostMessageA(window, WM_CLOSE, 0, 0);
  const DWORD code = WaitForExit(milliseconds);
  if (exitCode != nullptr) *exitCode = code;
  return !Running();
}

}  // namespace testing_support
