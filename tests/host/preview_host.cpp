// Stands in for the display control panel: a window with a small preview area whose handle
// is passed to the saver as "/p HWND". Closing the window destroys the preview area, which
// ends the saver; the host then exits with the saver's exit code.
//   preview_host.exe SAVER.scr [width height]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

HWND previewArea = nullptr;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: preview_host SAVER.scr [width height]\n");
    return 2;
  }
  const int width = argc >= 4 ? std::atoi(argv[2]) : 152;
  const int height = argc >= 4 ? std::atoi(argv[3]) : 112;

  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = HostProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.lpszClassName = "SolvanePreviewHost";
  RegisterClassA(&windowClass);
  RECT frame = {0, 0, width + 40, height + 40};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  HWND host = CreateWindowA("SolvanePreviewHost", "Solvane preview host",
                            WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                            windowClass.hInstance, nullptr);
  previewArea = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20,
                              width, height, host, nullptr, windowClass.hInstance, nullptr);
  if (host == nullptr || previewArea == nullptr) return 3;

  char commandLine[1024];
  std::snprintf(commandLine, sizeof commandLine, "\"%s\" /p %llu", argv[1],
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(previewArea)));
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "preview_host: cannot start %s\n", argv[1]);
    return 4;
  }

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  DWORD exitCode = 1;
  if (WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &exitCode);
  }
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return static_cast<int>(exitCode);
}
