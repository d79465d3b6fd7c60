// The built Solvane7.scr as the system runs it: started as a child process with each run-mode
// switch, driven with window messages, and watched until it ends with exit code 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/pixels.h"
#include "support/saver_process.h"
#include "support/test_support.h"

namespace {

using namespace testing_support;

constexpr char kTitle[] = "Solvane ScreenSaver 7.0";
constexpr char kNoDirect3D[] =
    "Direct3D 8.0 could not be initialized.  Please install the latest version of DirectX.";

// A path under the build folder as the saver sees it.
std::string BuildPath(const std::string& relative) {
  std::string path = "Z:" SOLVANE_BUILD_DIR "/" + relative;
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

std::string SaverPath() { return BuildPath("install_root/Solvane7.scr"); }

// Keeps what a test saw for people to look at: <build>/screens/<name>.bmp.
void SaveShot(const Pixels& shot, const char* name) { SaveBmp(shot, BuildPath("screens"), name); }

// Where the window-colour pixels of the error box are, within a rectangle of the screen.
struct BoxFound {
  int count = 0;
  RECT bounds = {100000, 100000, -1, -1};
};

BoxFound FindBox(const Pixels& shot, const RECT& area) {
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

void PostMove(HWND window, int x, int y) { PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }

class SaverRun : public ::testing::Test {
 protected:
  void SetUp() override {
    // The scene reads its data from the build's installation folder.
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsPath, 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::string installDir = BuildPath("install_root");
    RegSetValueExA(key, "InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(installDir.c_str()),
                   static_cast<DWORD>(installDir.size() + 1));
    RegCloseKey(key);
  }
  CleanSettingsKeys clean_;
};

TEST_F(SaverRun, TestModeDrawsInACaptionedWindowThatOnlyClosingEnds) {
  SaverProcess saver(SaverPath(), "/t");
  ASSERT_TRUE(saver.started());
  const HWND window = saver.FindTopLevel(kSaverWindowClass, 30000);
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
  const Pixels shot = CaptureScreen();
  SaveShot(shot, "host_test_mode");
  EXPECT_GT(shot.DrawnShare(ClientOnScreen(window)), 0.5);

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
  SaverProcess saver(SaverPath(), "/s");
  ASSERT_TRUE(saver.started());
  const HWND window = saver.FindTopLevel(kSaverWindowClass, 30000);
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
  const Pixels shot = CaptureScreen();
  SaveShot(shot, "host_full_screen");
  EXPECT_GT(shot.DrawnShare(rect), 0.5);

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
  SaverProcess saver(SaverPath(), "/s");
  const HWND window = saver.FindTopLevel(kSaverWindowClass, 30000);
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
    const HWND child = FindWindowExA(parent, nullptr, kSaverWindowClass, nullptr);
    if (child != nullptr) return child;
    Pump(50);
  } while (GetTickCount() - start < milliseconds && saver.Running());
  return nullptr;
}

TEST_F(SaverRun, PreviewRunsInTheGivenWindowUntilItIsDestroyed) {
  const HWND parent = MakePreviewParent();
  ASSERT_NE(parent, nullptr);
  SaverProcess saver(SaverPath(), "/p " + std::to_string(reinterpret_cast<uintptr_t>(parent)));
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
  SaverProcess saver(SaverPath(), "/s", true);
  const HWND window = saver.FindTopLevel(kSaverWindowClass, 30000);
  ASSERT_NE(window, nullptr);
  saver.Settle(window, 500);
  const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const Pixels first = CaptureScreen();
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
  const BoxFound later = FindBox(CaptureScreen(), screen);
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
  SaverProcess saver(SaverPath(), "/p " + std::to_string(reinterpret_cast<uintptr_t>(parent)), true);
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
  SaverProcess saver(SaverPath(), "/c", true);
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

int CountGreen(const Pixels& shot, const RECT& area) {
  int green = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      const uint32_t pixel = shot.At(x, y);
      green += Green(pixel) > 200 && Red(pixel) < 60 && Blue(pixel) < 60;
    }
  }
  return green;
}

TEST_F(SaverRun, APortableCopyInAFolderNamedInAnyScriptShowsItsPictures) {
  CleanSettingsKeys::Clear();  // no "InstallPath": the data beside the program
  TempFolder root;
  const std::string copy = root.File(u8"Заставка Ωμέγα 写真 🌄");
  CopyTree(BuildPath("install_root"), copy);
  const std::string picture = root.File(u8"Фото 日没 🌄.bmp");
  WriteFileBytes(picture, GreenBmp());
  WriteFileBytes(copy + "\\picsavelist.tsl", u8"日没 🌄.bmp\r\n" + picture + "\r\n");
  ASSERT_TRUE(ExistsUnderUtf8Name(copy + "\\data\\objects\\coffeemug.x"));

  SaverProcess saver(copy + "\\Solvane7.scr", "/t");
  ASSERT_TRUE(saver.started());
  const HWND window = saver.FindTopLevel(kSaverWindowClass, 30000);
  ASSERT_NE(window, nullptr);
  saver.Settle(window, 1000);
  EXPECT_EQ(saver.FindTopLevel("#32770"), nullptr);  // no "can not load object!"
  const Pixels shot = CaptureScreen();
  SaveShot(shot, "host_any_script_folder");
  const RECT client = ClientOnScreen(window);
  EXPECT_GT(shot.DrawnShare(client), 0.5);
  EXPECT_GT(CountGreen(shot, client), 5000);  // the four frames show the picture
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(saver.WaitForExit(20000), 0u);
}

// One picture on a share that stopped answering (scripts/test mounts a folder whose reads
// never return): the other three show once it is given up, and a key still ends the saver at
// once, its windows gone before anything waits for the stuck read.
TEST_F(SaverRun, APictureWhoseReadNeverReturnsCostsOnlyItsOwnSlot) {
  const char* stalled = std::getenv("SOLVANE_STALLED_DIR");
  ASSERT_NE(stalled, nullptr) << "no stalled folder mounted";
  std::string stalledPicture = std::string("Z:") + stalled + "/stalled.jpg";
  for (char& c : stalledPicture) c = c == '/' ? '\\' : c;
  CleanSettingsKeys::Clear();
  TempFolder root;
  const std::string copy = root.File("saver");
  CopyTree(BuildPath("install_root"), copy);
  WriteFileBytes(root.File("green.bmp"), GreenBmp());
  std::string list = "stalled\r\n" + stalledPicture + "\r\n";
  for (int i = 0; i < 3; ++i) list += "green\r\n" + root.File("green.bmp") + "\r\n";
  WriteFileBytes(copy + "\\picsavelist.tsl", list);

  SaverProcess saver(copy + "\\Solvane7.scr", "/s");
  const HWND window = saver.FindTopLevel(kSaverWindowClass, 30000);
  ASSERT_NE(window, nullptr);
  int green = 0;
  for (const double start = NowMs(); green < 3000 && NowMs() - start < 20000;) {
    saver.Settle(window, 250);
    green = CountGreen(CaptureScreen(), ClientOnScreen(window));
  }
  SaveShot(CaptureScreen(), "host_stalled_picture");
  EXPECT_GE(green, 3000);  // three frames show the picture that could be read
  const double pressed = NowMs();
  PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
  while (!saver.TopLevels(kSaverWindowClass).empty() && NowMs() - pressed < 5000) Sleep(1);
  EXPECT_TRUE(saver.TopLevels(kSaverWindowClass).empty());
  EXPECT_EQ(saver.WaitForExit(5000), 0u);  // not held by the stuck read
}

}  // namespace
