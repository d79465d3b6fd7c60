// The built Solvane7.scr as the system runs it: started as a child process with each run-mode
// switch, driven with window messages, and watched until it ends with exit code 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

constexpr char kWindowClass[] = "SolvaneSaverWndClass";
constexpr char kTitle[] = "Solvane ScreenSaver 7.0";
constexpr char kNoDirect3D[] =
    "Direct3D 8.0 could not be initialized.  Please install the latest version of DirectX.";

std::string SaverPath() {
  std::string path = "Z:" SOLVANE_BUILD_DIR "/install_root/Solvane7.scr";
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

// Keeps this thread's windows answering while waiting: a preview's parent lives here.
void Pump(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  MSG message;
  do {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (GetTickCount() - start < milliseconds);
}

class SaverProcess {
 public:
  SaverProcess(const std::string& arguments, bool withoutDirect3D,
               const std::string& program = SaverPath())
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
    const std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    started_ = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process_) != 0;
  }
  ~SaverProcess() {
    if (withoutDirect3D_) RegDeleteTreeA(HKEY_CURRENT_USER, kOverrideRoot);
    if (!started_) return;
    if (Running()) TerminateProcess(process_.hProcess, 99);
    WaitForSingleObject(process_.hProcess, 5000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  // Waits until the saver's message loop has handled everything queued so far (the first
  // frame may take seconds), then lets it run for a while.
  void Settle(HWND window, DWORD milliseconds) {
    for (int i = 0; i < 2; ++i) {
      DWORD_PTR result;
      SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
      Pump(200);
    }
    Pump(milliseconds);
  }
  bool started() const { return started_; }
  bool Running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }
  DWORD id() const { return process_.dwProcessId; }

  // The exit code, or STILL_ACTIVE when it did not end in time.
  DWORD WaitForExit(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (Running() && GetTickCount() - start < milliseconds) Pump(20);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }

  // A top-level window of the process with the given class.
  HWND FindTopLevel(const char* className, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
      Search search = {id(), className, nullptr};
      EnumWindows(FindInProcess, reinterpret_cast<LPARAM>(&search));
      if (search.found != nullptr) return search.found;
      Pump(50);
    } while (GetTickCount() - start < milliseconds && Running());
    return nullptr;
  }

 private:
  struct Search {
    DWORD processId;
    const char* className;
    HWND found;
  };
  static BOOL CALLBACK FindInProcess(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (owner == search->processId && std::string(name) == search->className &&
        IsWindowVisible(window)) {
      search->found = window;
      return FALSE;
    }
    return TRUE;
  }

  static constexpr char kOverrideRoot[] = "Software\\Wine\\AppDefaults\\Solvane7.scr";
  static constexpr char kOverrideKey[] =
      "Software\\Wine\\AppDefaults\\Solvane7.scr\\DllOverrides";
  PROCESS_INFORMATION process_ = {};
  bool started_ = false;
  bool withoutDirect3D_;
};

// The screen as 32-bit pixels, read back once.
struct ScreenShot {
  int width = 0, height = 0;
  std::vector<DWORD> pixels;  // 0x00RRGGBB
  DWORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

ScreenShot Capture() {
  ScreenShot shot;
  shot.width = GetSystemMetrics(SM_CXSCREEN);
  shot.height = GetSystemMetrics(SM_CYSCREEN);
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
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, shot.width, shot.height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const DWORD* p = static_cast<const DWORD*>(bits);
  shot.pixels.assign(p, p + static_cast<size_t>(shot.width) * shot.height);
  for (DWORD& pixel : shot.pixels) pixel &= 0x00FFFFFF;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return shot;
}

// Keeps what a test saw for people to look at: <build>/screens/<name>.bmp.
void SaveShot(const ScreenShot& shot, const char* name) {
  std::string folder = "Z:" SOLVANE_BUILD_DIR "/screens";
  for (char& c : folder) c = c == '/' ? '\\' : c;
  CreateDirectoryA(folder.c_str(), nullptr);
  FILE* file = std::fopen((folder + "\\" + name + ".bmp").c_str(), "wb");
  if (file == nullptr) return;
  const DWORD imageSize = static_cast<DWORD>(shot.pixels.size() * 4);
  BITMAPFILEHEADER header = {};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  header.bfSize = header.bfOffBits + imageSize;
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = shot.width;
  info.biHeight = -shot.height;
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biSizeImage = imageSize;
  std::fwrite(&header, sizeof header, 1, file);
  std::fwrite(&info, sizeof info, 1, file);
  std::fwrite(shot.pixels.data(), 4, shot.pixels.size(), file);
  std::fclose(file);
}

// Where the window-colour pixels of the error box are, within a rectangle of the screen.
struct BoxFound {
  int count = 0;
  RECT bounds = {100000, 100000, -1, -1};
  int others = 0;  // neither black nor window colour outside the box
};

BoxFound FindBox(const ScreenShot& shot, const RECT& area) {
  const COLORREF sys = GetSysColor(COLOR_WINDOW);
  const DWORD window = (GetRValue(sys) << 16) | (GetGValue(sys) << 8) | GetBValue(sys);
  BoxFound found;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      const DWORD pixel = shot.At(x, y);
      if (pixel == window) {
        ++found.count;
        found.bounds.left = std::min<LONG>(found.bounds.left, x);
        found.bounds.top = std::min<LONG>(found.bounds.top, y);
        found.bounds.right = std::max<LONG>(found.bounds.right, x + 1);
        found.bounds.bottom = std::max<LONG>(found.bounds.bottom, y + 1);
      }
    }
  }
  return found;
}

// Share of pixels in the rectangle that are not black: Direct3D frames reached the screen.
double DrawnShare(const ScreenShot& shot, const RECT& area) {
  int drawn = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) drawn += shot.At(x, y) != 0 ? 1 : 0;
  }
  return static_cast<double>(drawn) / ((area.right - area.left) * (area.bottom - area.top));
}

RECT ClientOnScreen(HWND window) {
  RECT rect;
  GetClientRect(window, &rect);
  MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void PostMove(HWND window, int x, int y) { PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }

class SaverRun : public ::testing::Test {
 protected:
  void SetUp() override {
    // The scene reads its data from the build's installation folder.
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, testing_support::kSettingsPath, 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    std::string installDir = "Z:" SOLVANE_BUILD_DIR "/install_root";
    for (char& c : installDir) c = c == '/' ? '\\' : c;
    RegSetValueExA(key, "InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(installDir.c_str()),
                   static_cast<DWORD>(installDir.size() + 1));
    RegCloseKey(key);
  }
  testing_support::CleanSettingsKeys clean_;
};

TEST_F(SaverRun, TestModeDrawsInACaptionedWindowThatOnlyClosingEnds) {
  SaverProcess saver("/t", false);
  ASSERT_TRUE(saver.started());
  const HWND window = saver.FindTopLevel(kWindowClass, 30000);
  ASSERT_NE(window, nullptr);
  char title[64] = {};
  GetWindowTextA(window, title, sizeof title);
  EXPECT_STREQ(title, kTitle);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 600);
  EXPECT_EQ(client.bottom, 400);
  EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_CAPTION);

  saver.Settle(window, 1000);
  const ScreenShot shot = Capture();
  SaveShot(shot, "host_test_mode");
  EXPECT_GT(DrawnShare(shot, ClientOnScreen(window)), 0.5);

  PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  PostMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
  for (int i = 0; i < 12; ++i) PostMove(window, 20 + 7 * i, 30 + 3 * i);
  PostMessageA(window, WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_EQ(saver.WaitForExit(1500), DWORD{STILL_ACTIVE});

  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(saver.WaitForExit(20000), 0u);
}

TEST_F(SaverRun, FullScreenEndsOnTheSixthMoveToANewPosition) {
  SaverProcess saver("/s", false);
  ASSERT_TRUE(saver.started());
  const HWND window = saver.FindTopLevel(kWindowClass, 30000);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(GetWindowLongA(window, GWL_STYLE) & WS_CAPTION);
  RECT rect;
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
  saver.Settle(window, 1000);
  const ScreenShot shot = Capture();
  SaveShot(shot, "host_full_screen");
  EXPECT_GT(DrawnShare(shot, rect), 0.5);

  // A move the system makes when the window appears is at the cursor: start there, so the
  // count is one either way.
  POINT cursor;
  GetCursorPos(&cursor);
  PostMove(window, cursor.x, cursor.y);
  for (int i = 1; i <= 4; ++i) PostMove(window, cursor.x + 10 * i, cursor.y + 5 * i);
  for (int i = 0; i < 10; ++i) PostMove(window, cursor.x + 40, cursor.y + 20);
  EXPECT_EQ(saver.WaitForExit(2000), DWORD{STILL_ACTIVE});
  PostMove(window, cursor.x + 200, cursor.y + 100);
  EXPECT_EQ(saver.WaitForExit(20000), 0u);
}

TEST_F(SaverRun, FullScreenEndsAtOnceOnAKey) {
  SaverProcess saver("/s", false);
  const HWND window = saver.FindTopLevel(kWindowClass, 30000);
  ASSERT_NE(window, nullptr);
  saver.Settle(window, 200);
  ASSERT_TRUE(saver.Running());
  PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(saver.WaitForExit(20000), 0u);
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

// The display control panel's little preview window.
HWND MakePreviewParent() {
  WNDCLASSA parentClass = {};
  parentClass.lpfnWndProc = ParentProc;
  parentClass.hInstance = GetModuleHandleA(nullptr);
  parentClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  parentClass.lpszClassName = "ControlPanelPreview";
  RegisterClassA(&parentClass);
  RECT rect = {0, 0, 152, 112};
  AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
  return CreateWindowExA(0, "ControlPanelPreview", "Display Properties",
                         WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 300, 300, rect.right - rect.left,
                         rect.bottom - rect.top, nullptr, nullptr, GetModuleHandleA(nullptr),
                         nullptr);
}

HWND WaitForChild(HWND parent, SaverProcess& saver, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    const HWND child = FindWindowExA(parent, nullptr, kWindowClass, nullptr);
    if (child != nullptr) return child;
    Pump(50);
  } while (GetTickCount() - start < milliseconds && saver.Running());
  return nullptr;
}

TEST_F(SaverRun, PreviewRunsInTheGivenWindowUntilItIsDestroyed) {
  const HWND parent = MakePreviewParent();
  ASSERT_NE(parent, nullptr);
  SaverProcess saver("/p " + std::to_string(reinterpret_cast<uintptr_t>(parent)), false);
  const HWND child = WaitForChild(parent, saver, 30000);
  ASSERT_NE(child, nullptr);
  RECT client;
  GetClientRect(child, &client);
  EXPECT_EQ(client.right, 152);
  EXPECT_EQ(client.bottom, 112);
  // Wine shows nothing that another process draws into a child of this process's window
  // (GDI or Direct3D); the drawing itself is checked by the in-process window tests.
  saver.Settle(child, 1000);
  // Input never ends a preview.
  PostMessageA(child, WM_KEYDOWN, VK_SPACE, 0);
  for (int i = 0; i < 8; ++i) PostMove(child, i * 3, i * 2);
  EXPECT_EQ(saver.WaitForExit(1000), DWORD{STILL_ACTIVE});

  DestroyWindow(parent);
  EXPECT_EQ(saver.WaitForExit(20000), 0u);
}

TEST_F(SaverRun, WithoutDirect3DFullScreenShowsTheMessageInADriftingBox) {
  SaverProcess saver("/s", true);
  const HWND window = saver.FindTopLevel(kWindowClass, 30000);
  ASSERT_NE(window, nullptr);
  saver.Settle(window, 500);
  const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const ScreenShot first = Capture();
  SaveShot(first, "host_no_direct3d_box");
  const BoxFound box = FindBox(first, screen);
  // 300 by 150 with a one-pixel black frame.
  EXPECT_EQ(box.bounds.right - box.bounds.left, 298);
  EXPECT_EQ(box.bounds.bottom - box.bounds.top, 148);
  EXPECT_GT(box.count, 300 * 150 * 3 / 4);  // the rest is the text and the frame
  ASSERT_GT(box.count, 0);
  if (box.bounds.left >= 2) {
    EXPECT_EQ(first.At(box.bounds.left - 2, box.bounds.top + 10), 0u);
  }
  EXPECT_EQ(first.At(2, 2), 0u);

  Pump(1000);
  const BoxFound later = FindBox(Capture(), screen);
  EXPECT_NE(later.bounds.left, box.bounds.left);
  EXPECT_NE(later.bounds.top, box.bounds.top);
  EXPECT_EQ(later.bounds.right - later.bounds.left, 298);

  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_EQ(saver.WaitForExit(20000), 0u);
}

// As above, the painted box is checked by the in-process window tests.
TEST_F(SaverRun, WithoutDirect3DThePreviewWaitsForItsWindowToGo) {
  const HWND parent = MakePreviewParent();
  ASSERT_NE(parent, nullptr);
  SaverProcess saver("/p " + std::to_string(reinterpret_cast<uintptr_t>(parent)), true);
  const HWND child = WaitForChild(parent, saver, 30000);
  ASSERT_NE(child, nullptr);
  saver.Settle(child, 500);
  PostMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_EQ(saver.WaitForExit(1000), DWORD{STILL_ACTIVE});
  EXPECT_TRUE(IsWindow(child));
  DestroyWindow(parent);
  EXPECT_EQ(saver.WaitForExit(20000), 0u);
}

TEST_F(SaverRun, WithoutDirect3DConfigurationShowsTheMessageBox) {
  SaverProcess saver("/c", true);
  const HWND box = saver.FindTopLevel("#32770", 30000);
  ASSERT_NE(box, nullptr);
  char caption[64] = {};
  GetWindowTextA(box, caption, sizeof caption);
  EXPECT_STREQ(caption, kTitle);
  char text[256] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  EXPECT_STREQ(text, kNoDirect3D);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(saver.WaitForExit(20000), 0u);
}

// Copies every file below from into to (which is made).
void CopyTree(const std::string& from, const std::string& to) {
  CreateDirectoryA(to.c_str(), nullptr);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      CopyTree(from + "\\" + name, to + "\\" + name);
    } else {
      CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

// A 2 x 2 picture of pure green: no other part of the scene is that colour.
std::string GreenBmp() {
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = 2;
  info.biHeight = 2;
  info.biPlanes = 1;
  info.biBitCount = 24;
  file.bfType = 0x4d42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + 16;
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
  for (int row = 0; row < 2; ++row) bytes += std::string("\0\xff\0\0\xff\0\0\0", 8);
  return bytes;
}

TEST_F(SaverRun, APortableCopyInAFolderNamedInAnyScriptShowsItsPictures) {
  testing_support::CleanSettingsKeys::Clear();  // no "InstallPath": the data beside the program
  testing_support::TempFolder root;
  const std::string copy = root.File(u8"Заставка Ωμέγα 写真 🌄");
  CopyTree(SaverPath().substr(0, SaverPath().rfind('\\')), copy);
  const std::string picture = root.File(u8"Фото 日没 🌄.bmp");
  testing_support::WriteFileBytes(picture, GreenBmp());
  testing_support::WriteFileBytes(copy + "\\picsavelist.tsl",
                                  u8"日没 🌄.bmp\r\n" + picture + "\r\n");
  ASSERT_TRUE(testing_support::ExistsUnderUtf8Name(copy + "\\data\\objects\\coffeemug.x"));

  SaverProcess saver("/t", false, copy + "\\Solvane7.scr");
  ASSERT_TRUE(saver.started());
  const HWND window = saver.FindTopLevel(kWindowClass, 30000);
  ASSERT_NE(window, nullptr);
  saver.Settle(window, 1000);
  EXPECT_EQ(saver.FindTopLevel("#32770", 0), nullptr);  // no "can not load object!"
  const ScreenShot shot = Capture();
  SaveShot(shot, "host_any_script_folder");
  const RECT client = ClientOnScreen(window);
  EXPECT_GT(DrawnShare(shot, client), 0.5);
  int green = 0;
  for (int y = client.top; y < client.bottom; ++y) {
    for (int x = client.left; x < client.right; ++x) {
      const DWORD pixel = shot.At(x, y);
      green += ((pixel >> 8) & 0xff) > 200 && (pixel >> 16) < 60 && (pixel & 0xff) < 60;
    }
  }
  EXPECT_GT(green, 5000);  // the four frames show the picture
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(saver.WaitForExit(20000), 0u);
}

}  // namespace
