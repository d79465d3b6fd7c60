// Watching a running Solvane7.scr from outside: starting it, finding its window, reading back
// what its window shows, and reading its memory and handle counts. Used by the start-up
// benchmark and the soak run, which must see the saver exactly as a user would run it.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <string>
#include <vector>

namespace saver_process {

constexpr char kWindowClass[] = "SolvaneSaverWndClass";

inline double NowMs() {
  static LARGE_INTEGER frequency = {};
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return 1000.0 * double(now.QuadPart) / double(frequency.QuadPart);
}

inline void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// The saver started with the given switch ("/t"); ends it on destruction if still running.
class Saver {
 public:
  Saver(const std::string& program, const char* arguments) {
    std::string line = "\"" + program + "\" " + arguments;
    std::vector<char> text(line.begin(), line.end());
    text.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    started_ = CreateProcessA(nullptr, text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &info_) != 0;
  }
  ~Saver() {
    if (!started_) return;
    if (Running()) {
      Close(10000);
      if (Running()) TerminateProcess(info_.hProcess, 99);
    }
    WaitForSingleObject(info_.hProcess, 5000);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  Saver(const Saver&) = delete;
  Saver& operator=(const Saver&) = delete;

  bool started() const { return started_; }
  bool Running() const {
    return started_ && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
  }
  HANDLE process() const { return info_.hProcess; }
  DWORD id() const { return info_.dwProcessId; }

  // The saver's visible top-level window, or null.
  HWND Window() const {
    Search search = {info_.dwProcessId, nullptr};
    EnumWindows(FindInProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  // Asks the window to close and waits; true when the process ended, with its exit code.
  bool Close(DWORD milliseconds, DWORD* exitCode = nullptr) {
    const HWND window = Window();
    if (window != nullptr) PostMessageA(window, WM_CLOSE, 0, 0);
    const DWORD start = GetTickCount();
    while (Running() && GetTickCount() - start < milliseconds) {
      PumpMessages();
      Sleep(10);
    }
    if (exitCode != nullptr) GetExitCodeProcess(info_.hProcess, exitCode);
    return !Running();
  }

 private:
  struct Search {
    DWORD processId;
    HWND found;
  };
  static BOOL CALLBACK FindInProcess(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (owner == search->processId && lstrcmpA(name, kWindowClass) == 0 &&
        IsWindowVisible(window)) {
      search->found = window;
      return FALSE;
    }
    return TRUE;
  }

  PROCESS_INFORMATION info_ = {};
  bool started_ = false;
};

// The client area of a window as it is on screen, 0x00RRGGBB per pixel.
struct ClientShot {
  int width = 0, height = 0;
  std::vector<DWORD> pixels;

  // Share of pixels that are not black: the saver's window is black until Direct3D draws.
  double DrawnShare() const {
    if (pixels.empty()) return 0.0;
    size_t drawn = 0;
    for (DWORD p : pixels) drawn += p != 0 ? 1 : 0;
    return double(drawn) / double(pixels.size());
  }
  // A cheap fingerprint to tell two frames apart.
  uint64_t Hash() const {
    uint64_t h = 1469598103934665603ull;
    for (DWORD p : pixels) h = (h ^ p) * 1099511628211ull;
    return h;
  }
};

// rows > 0: only that many rows through the middle of the client (cheap enough to poll).
inline ClientShot CaptureClient(HWND window, int rows = 0) {
  ClientShot shot;
  RECT rect;
  if (!GetClientRect(window, &rect)) return shot;
  MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
  if (rows > 0 && rect.bottom - rect.top > rows) {
    rect.top += (rect.bottom - rect.top - rows) / 2;
    rect.bottom = rect.top + rows;
  }
  shot.width = rect.right - rect.left;
  shot.height = rect.bottom - rect.top;
  if (shot.width <= 0 || shot.height <= 0) return shot;
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap != nullptr) {
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, shot.width, shot.height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const DWORD* p = static_cast<const DWORD*>(bits);
    shot.pixels.assign(p, p + size_t(shot.width) * size_t(shot.height));
    for (DWORD& pixel : shot.pixels) pixel &= 0x00FFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return shot;
}

// What a process holds: private bytes and its GDI, USER and kernel handle counts. Wine
// answers 0 for PrivateUsage (its PagefileUsage, resident anonymous memory, stands in), and
// for GetGuiResources and GetProcessHandleCount; for this process the counts are then taken
// another way: the GDI objects in the process's GDI handle table, the windows of the process
// for USER, and the handle values that name a handle for kernel objects.
struct Holdings {
  double privateMB = 0.0;
  DWORD gdiObjects = 0;
  DWORD userObjects = 0;
  DWORD kernelHandles = 0;
};

namespace detail {

// The GDI handle table the PEB (TEB + 0x60) points to (64-bit layout: 24-byte entries, type at byte 14,
// stock flag in the top bit of byte 12); stock objects are not counted.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"  // MinGW's NtCurrentTeb reads gs:0x30
inline DWORD GdiTableCount() {
  const auto* teb = reinterpret_cast<const unsigned char*>(NtCurrentTeb());
  const auto* peb = *reinterpret_cast<const unsigned char* const*>(teb + 0x60);
  const unsigned char* table = *reinterpret_cast<const unsigned char* const*>(peb + 0xF8);
  if (table == nullptr) return 0;
  DWORD count = 0;
  for (size_t i = 0; i < 0x10000; ++i) {
    const unsigned char* entry = table + i * 24;
    if (entry[14] != 0 && (entry[12] & 0x80) == 0) ++count;
  }
  return count;
}
#pragma GCC diagnostic pop

inline BOOL CALLBACK CountWindow(HWND window, LPARAM data) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == GetCurrentProcessId()) {
    ++*reinterpret_cast<DWORD*>(data);
    EnumChildWindows(window, CountWindow, data);
  }
  return TRUE;
}

inline DWORD KernelHandlesByProbing() {
  DWORD count = 0;
  for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
    DWORD flags;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

}  // namespace detail

inline Holdings ReadHoldings(HANDLE process) {
  Holdings h;
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof counters)) {
    // Private bytes are the commit charge, which the page-file usage reports as well.
    const SIZE_T privateBytes =
        counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
    h.privateMB = double(privateBytes) / (1024.0 * 1024.0);
  }
  h.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
  h.userObjects = GetGuiResources(process, GR_USEROBJECTS);
  GetProcessHandleCount(process, &h.kernelHandles);
  if (GetProcessId(process) == GetCurrentProcessId()) {
    if (h.gdiObjects == 0) h.gdiObjects = detail::GdiTableCount();
    if (h.userObjects == 0) EnumWindows(detail::CountWindow, reinterpret_cast<LPARAM>(&h.userObjects));
    if (h.kernelHandles == 0) h.kernelHandles = detail::KernelHandlesByProbing();
  }
  return h;
}

}  // namespace saver_process
