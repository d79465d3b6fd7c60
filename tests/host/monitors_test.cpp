// Monitor discovery over stand-in display devices, and the look-up of the multi-monitor API.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/multi_monitor_api.h"

namespace {

struct FakeDisplay {
  std::string name;
  std::string adapterString;
  std::string monitorString;  // empty: the monitor query fails
  DWORD flags;
  LONG x, y;
  DWORD width, height;
};

std::vector<FakeDisplay> displays;
std::vector<RECT> handleQueries;

// Like the system: fills the fixed field, without a NUL when the text fills it.
template <size_t N>
void Fill(char (&field)[N], const std::string& text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), text.size() < N ? text.size() : N);
}

BOOL WINAPI FakeEnumDevices(LPCSTR device, DWORD index, PDISPLAY_DEVICEA info, DWORD) {
  if (info->cb != sizeof(DISPLAY_DEVICEA)) return FALSE;
  if (device == nullptr) {
    if (index >= displays.size()) return FALSE;
    Fill(info->DeviceName, displays[index].name);
    Fill(info->DeviceString, displays[index].adapterString);
    info->StateFlags = displays[index].flags;
    return TRUE;
  }
  for (const FakeDisplay& d : displays) {
    if (d.name == device && index == 0 && !d.monitorString.empty()) {
      Fill(info->DeviceString, d.monitorString);
      return TRUE;
    }
  }
  return FALSE;
}

BOOL WINAPI FakeSettings(LPCSTR device, DWORD mode, DEVMODEA* devMode) {
  if (mode != ENUM_CURRENT_SETTINGS) return FALSE;
  for (const FakeDisplay& d : displays) {
    if (d.name == device) {
      devMode->dmPosition.x = d.x;
      devMode->dmPosition.y = d.y;
      devMode->dmPelsWidth = d.width;
      devMode->dmPelsHeight = d.height;
      return TRUE;
    }
  }
  return FALSE;
}

HMONITOR WINAPI FakeFromRect(LPCRECT rect, DWORD flags) {
  EXPECT_EQ(flags, DWORD{MONITOR_DEFAULTTONULL});
  handleQueries.push_back(*rect);
  return reinterpret_cast<HMONITOR>(static_cast<uintptr_t>(0x5000 + handleQueries.size()));
}

const MonitorQueries kFakeQueries = {FakeEnumDevices, FakeSettings, FakeFromRect};
constexpr DWORD kAttached = DISPLAY_DEVICE_ATTACHED_TO_DESKTOP;

class Monitors : public ::testing::Test {
 protected:
  void SetUp() override {
    displays.clear();
    handleQueries.clear();
  }
  MonitorTable monitors;
};

TEST_F(Monitors, AttachedDevicesGetRectangleAndHandleFromTheirCurrentMode) {
  displays = {{"\\\\.\\DISPLAY1", "Card A", "Monitor A",
               kAttached | DISPLAY_DEVICE_PRIMARY_DEVICE, 50, 50, 1024, 768},
              {"\\\\.\\DISPLAY2", "Card B", "Monitor B", kAttached, -1280, -100, 1280, 1024},
              {"\\\\.\\DISPLAY3", "Card C", "", 0, 0, 0, 800, 600}};
  ASSERT_EQ(ListMonitors(kFakeQueries, monitors), 3u);

  // The primary device is at the origin whatever its mode says.
  EXPECT_STREQ(monitors[0].adapterName, "Card A");
  EXPECT_STREQ(monitors[0].monitorName, "Monitor A");
  EXPECT_EQ(monitors[0].screenRect.left, 0);
  EXPECT_EQ(monitors[0].screenRect.right, 1024);
  EXPECT_EQ(monitors[0].screenRect.bottom, 768);
  EXPECT_EQ(monitors[0].adapterIndex, -1);
  EXPECT_EQ(monitors[0].window, nullptr);
  EXPECT_EQ(monitors[0].boxWidth, 0.0f);

  // A monitor left of the primary one has negative coordinates.
  EXPECT_EQ(monitors[1].screenRect.left, -1280);
  EXPECT_EQ(monitors[1].screenRect.top, -100);
  EXPECT_EQ(monitors[1].screenRect.right, 0);
  EXPECT_EQ(monitors[1].screenRect.bottom, 924);
  EXPECT_NE(monitors[1].monitorHandle, nullptr);

  // Not attached: listed without handle, rectangle or monitor name.
  EXPECT_STREQ(monitors[2].adapterName, "Card C");
  EXPECT_STREQ(monitors[2].monitorName, "");
  EXPECT_EQ(monitors[2].monitorHandle, nullptr);
  EXPECT_TRUE(IsRectEmpty(&monitors[2].screenRect));
  EXPECT_EQ(handleQueries.size(), 2u);
}

TEST_F(Monitors, AnAttachedDeviceWithoutAReadableModeGetsNoMonitor) {
  displays = {{"\\\\.\\DISPLAY1", "Card A", "Monitor A",
               kAttached | DISPLAY_DEVICE_PRIMARY_DEVICE, 0, 0, 1024, 768},
              {"\\\\.\\DISPLAY2", "Card B", "Monitor B", kAttached, 0, 0, 0, 0}};
  ASSERT_EQ(ListMonitors(kFakeQueries, monitors), 2u);
  EXPECT_NE(monitors[0].monitorHandle, nullptr);
  EXPECT_EQ(monitors[1].monitorHandle, nullptr);
  EXPECT_EQ(handleQueries.size(), 1u);
}

TEST_F(Monitors, MirroringDriversAreLeftOutAndATenthDeviceIsIgnored) {
  displays.push_back({"\\\\.\\MIRROR", "Mirror", "", kAttached | DISPLAY_DEVICE_MIRRORING_DRIVER,
                      0, 0, 1024, 768});
  for (int i = 0; i < 12; ++i) {
    displays.push_back({"\\\\.\\DISPLAY" + std::to_string(i + 1), "Card " + std::to_string(i),
                        "Monitor", kAttached, 1024 * i, 0, 1024, 768});
  }
  ASSERT_EQ(ListMonitors(kFakeQueries, monitors), kMaxScreens);
  EXPECT_STREQ(monitors[0].adapterName, "Card 0");
  EXPECT_STREQ(monitors[8].adapterName, "Card 8");
  EXPECT_EQ(monitors[8].screenRect.left, 1024 * 8);
}

TEST_F(Monitors, OverlongDeviceStringsAreCutAndEndInNul) {
  displays = {{"\\\\.\\DISPLAY1", std::string(200, 'a'), std::string(200, 'm'),
               kAttached | DISPLAY_DEVICE_PRIMARY_DEVICE, 0, 0, 640, 480}};
  ASSERT_EQ(ListMonitors(kFakeQueries, monitors), 1u);
  EXPECT_EQ(std::strlen(monitors[0].adapterName), sizeof monitors[0].adapterName - 1);
  EXPECT_EQ(std::strlen(monitors[0].monitorName), sizeof monitors[0].monitorName - 1);
}

const char* missingName = nullptr;
FARPROC LookupMissingOne(const char* name) {
  if (std::strcmp(name, missingName) == 0) return nullptr;
  return GetProcAddress(GetModuleHandleA("USER32"), name);
}

TEST(MultiMonitorApi, AllSevenFunctionsOrNone) {
  for (const char* name : {"GetSystemMetrics", "MonitorFromWindow", "MonitorFromRect",
                           "MonitorFromPoint", "EnumDisplayMonitors", "GetMonitorInfoA",
                           "EnumDisplayDevicesA"}) {
    missingName = name;
    MultiMonitorApi api;
    std::memset(&api, 0xAB, sizeof api);
    LookUpMultiMonitorApi(api, LookupMissingOne);
    EXPECT_TRUE(api.lookedUp);
    EXPECT_FALSE(MultiMonitorApiComplete(api)) << name;
    EXPECT_EQ(api.monitorFromRect, nullptr) << name;
    EXPECT_EQ(api.getSystemMetrics, nullptr) << name;
  }
  missingName = "";
  MultiMonitorApi api;
  LookUpMultiMonitorApi(api, LookupMissingOne);
  EXPECT_TRUE(MultiMonitorApiComplete(api));
}

TEST(MultiMonitorApi, StandInsAnswerOnlyForThePrimaryScreen) {
  using namespace multimon;
  EXPECT_EQ(PrimaryMonitorFromRect(nullptr, MONITOR_DEFAULTTOPRIMARY), kPrimaryMonitorHandle);
  const RECT outside = {-300, -300, 0, -1};
  EXPECT_EQ(PrimaryMonitorFromRect(&outside, MONITOR_DEFAULTTONULL), nullptr);
  EXPECT_EQ(PrimaryMonitorFromRect(&outside, MONITOR_DEFAULTTONEAREST), kPrimaryMonitorHandle);
  const RECT inside = {-10, -10, 1, 1};
  EXPECT_EQ(PrimaryMonitorFromRect(&inside, MONITOR_DEFAULTTONULL), kPrimaryMonitorHandle);

  DISPLAY_DEVICEA device;
  std::memset(&device, 0, sizeof device);
  device.cb = sizeof device;
  ASSERT_TRUE(PrimaryDisplayDevice(nullptr, 0, &device, 0));
  EXPECT_STREQ(device.DeviceName, "DISPLAY");
  EXPECT_STREQ(device.DeviceString, "DISPLAY");
  EXPECT_EQ(device.StateFlags,
            DWORD{DISPLAY_DEVICE_ATTACHED_TO_DESKTOP | DISPLAY_DEVICE_PRIMARY_DEVICE});
  EXPECT_FALSE(PrimaryDisplayDevice(nullptr, 1, &device, 0));
  EXPECT_FALSE(PrimaryDisplayDevice("DISPLAY", 0, &device, 0));
  device.cb = 100;
  EXPECT_FALSE(PrimaryDisplayDevice(nullptr, 0, &device, 0));

  MONITORINFO small;
  small.cbSize = 20;
  EXPECT_FALSE(PrimaryMonitorInfo(kPrimaryMonitorHandle, &small));
  MONITORINFO info;
  info.cbSize = sizeof info;
  EXPECT_FALSE(PrimaryMonitorInfo(reinterpret_cast<HMONITOR>(1), &info));
}

}  // namespace
