#include "config/display_settings_dialog.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <cstring>
#include <memory>

#include "config/modal_script.h"
#include "resources/dialog_ids.h"
#include "support/host_exposed.h"
#include "support/test_support.h"

using testing_support::Click;
using testing_support::DialogStep;
using testing_support::ItemText;
using testing_support::MessageBoxRecorder;
using testing_support::RunModal;

namespace {

class TestApp : public Exposed<SaverApp> {};

AdapterRecord* MakeAdapter(int monitor, const char* description) {
  auto* adapter = new AdapterRecord();
  adapter->monitorIndex = monitor;
  std::snprintf(adapter->identifier.Description, sizeof adapter->identifier.Description, "%s",
                description);
  adapter->hasHal = 1;
  adapter->halUsable = 1;
  adapter->hasSoftware = 1;
  adapter->softwareUsable = 1;
  adapter->deviceCount = 1;
  adapter->currentDevice = 0;
  DeviceTypeRecord& device = adapter->devices[0];
  device.deviceType = D3DDEVTYPE_HAL;
  device.modeCount = 4;
  device.modes[0] = {640, 480, D3DFMT_X8R8G8B8, 0, D3DFMT_UNKNOWN};
  device.modes[1] = {800, 600, D3DFMT_R5G6B5, 0, D3DFMT_UNKNOWN};
  device.modes[2] = {800, 600, D3DFMT_X1R5G5B5, 0, D3DFMT_UNKNOWN};
  device.modes[3] = {800, 600, D3DFMT_X8R8G8B8, 0, D3DFMT_UNKNOWN};
  return adapter;
}

void AddMonitor(TestApp& app, const char* name) {
  const uint32_t i = app.monitors.size();
  MonitorRecord& monitor = *app.monitors.Append();
  std::snprintf(monitor.adapterName, sizeof monitor.adapterName, "%s", name);
  monitor.monitorHandle = reinterpret_cast<HMONITOR>(static_cast<UINT_PTR>(0x100 + i));
  monitor.adapterIndex = static_cast<int32_t>(app.adapters.size());
  app.adapters.push_back(std::unique_ptr<AdapterRecord>(MakeAdapter(static_cast<int>(i), name)));
}

std::string ComboText(HWND dialog, int index) {
  char text[128] = {};
  SendDlgItemMessageA(dialog, IDC_DS_MODE_LIST, CB_GETLBTEXT, index,
                      reinterpret_cast<LPARAM>(text));
  return text;
}
int ComboSelection(HWND dialog) {
  return static_cast<int>(SendDlgItemMessageA(dialog, IDC_DS_MODE_LIST, CB_GETCURSEL, 0, 0));
}
void ChooseMode(HWND dialog, int index) {
  SendDlgItemMessageA(dialog, IDC_DS_MODE_LIST, CB_SETCURSEL, index, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_DS_MODE_LIST, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_DS_MODE_LIST)));
}
void ChooseTab(HWND dialog, int index) {
  HWND tabs = GetDlgItem(dialog, IDC_DS_TABS);
  TabCtrl_SetCurSel(tabs, index);
  NMHDR header = {tabs, IDC_DS_TABS, static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageA(dialog, WM_NOTIFY, IDC_DS_TABS, reinterpret_cast<LPARAM>(&header));
}
std::string String(UINT id) {
  char text[600] = {};
  LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
  return text;
}

}  // namespace

TEST(DisplaySettingsTexts, HelpTextFollowsTheAdapterFlags) {
  MonitorRecord monitor = {};
  monitor.monitorHandle = reinterpret_cast<HMONITOR>(1);
  AdapterRecord a = {};
  struct Row {
    uint32_t hal, disabled, halUsable, sw, swUsable;
    UINT id;
  };
  const Row rows[] = {
      {1, 0, 1, 0, 0, 2200}, {1, 0, 1, 1, 1, 2200}, {1, 0, 0, 1, 1, 2201}, {1, 0, 0, 1, 0, 2202},
      {1, 0, 0, 0, 1, 2203}, {0, 0, 0, 1, 1, 2204}, {0, 1, 1, 1, 1, 2204}, {0, 0, 0, 1, 0, 2205},
      {0, 1, 0, 0, 0, 2206}, {1, 1, 1, 1, 1, 2207}, {1, 1, 0, 1, 0, 2208}, {1, 1, 1, 0, 1, 2209},
  };
  for (const Row& row : rows) {
    a.hasHal = row.hal;
    a.disableHardware = row.disabled;
    a.halUsable = row.halUsable;
    a.hasSoftware = row.sw;
    a.softwareUsable = row.swUsable;
    EXPECT_EQ(DisplayHelpTextId(monitor, &a), row.id)
        << row.hal << row.disabled << row.halUsable << row.sw << row.swUsable;
  }
  a = {};
  a.hasHal = a.halUsable = 1;
  EXPECT_EQ(DisplayHelpTextId(monitor, nullptr), 2206u);
  monitor.monitorHandle = nullptr;
  EXPECT_EQ(DisplayHelpTextId(monitor, &a), 2206u);  // not attached to the desktop
}

TEST(DisplaySettingsTexts, StatusAndBitCount) {
  AdapterRecord a = {};
  EXPECT_EQ(DisplayStatusTextId(nullptr), 2212u);
  EXPECT_EQ(DisplayStatusTextId(&a), 2212u);
  a.hasSoftware = a.softwareUsable = 1;
  EXPECT_EQ(DisplayStatusTextId(&a), 2211u);
  a.hasHal = a.halUsable = 1;
  EXPECT_EQ(DisplayStatusTextId(&a), 2210u);
  a.disableHardware = 1;
  EXPECT_EQ(DisplayStatusTextId(&a), 2211u);
  EXPECT_EQ(ModeBitCount(D3DFMT_R8G8B8), 32);
  EXPECT_EQ(ModeBitCount(D3DFMT_A8R8G8B8), 32);
  EXPECT_EQ(ModeBitCount(D3DFMT_X8R8G8B8), 32);
  EXPECT_EQ(ModeBitCount(D3DFMT_R5G6B5), 16);
  EXPECT_EQ(ModeBitCount(D3DFMT_X1R5G5B5), 16);
}

TEST(DisplaySettingsDialog, OneMonitorGetsTheTemplateWithoutTabs) {
  TestApp app;
  AddMonitor(app, "Test Adapter One");
  app.adapters[0]->savedWidth = 800;
  app.adapters[0]->savedHeight = 600;
  app.adapters[0]->savedFormat = D3DFMT_X8R8G8B8;
  MessageBoxRecorder boxes;
  const INT_PTR result =
      RunModal([&] { return ShowDisplaySettings(app, nullptr); }, {[](HWND dialog) {
                 EXPECT_EQ(GetDlgItem(dialog, IDC_DS_TABS), nullptr);
                 EXPECT_EQ(GetDlgItem(dialog, IDC_DS_LEAVE_BLACK), nullptr);
                 EXPECT_EQ(GetDlgItem(dialog, IDC_DS_SAME_IMAGE), nullptr);
                 EXPECT_EQ(ItemText(dialog, IDC_DS_DISABLE_HW), "&Disable hardware 3D rendering");
                 char caption[64];
                 GetWindowTextA(dialog, caption, sizeof caption);
                 EXPECT_STREQ(caption, "Display Settings");
                 EXPECT_EQ(ItemText(dialog, IDC_DS_ADAPTER_NAME), "Test Adapter One");
                 EXPECT_EQ(ItemText(dialog, IDC_DS_STATUS), String(2210));
                 EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_DS_MODE_LIST)));
                 EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_DS_MODE_LIST, CB_GETCOUNT, 0, 0), 5);
                 EXPECT_EQ(ComboText(dialog, 0), "Automatic");
                 EXPECT_EQ(ComboText(dialog, 1), "640 by 480, 32 bit color");
                 // Equal size and depth in two formats: two identical entries.
                 EXPECT_EQ(ComboText(dialog, 2), "800 by 600, 16 bit color");
                 EXPECT_EQ(ComboText(dialog, 3), "800 by 600, 16 bit color");
                 EXPECT_EQ(ComboSelection(dialog), 4);  // the stored mode
                 Click(dialog, IDC_DS_HELP);
                 Click(dialog, IDOK);
               }});
  EXPECT_EQ(result, IDOK);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, String(2200));
  EXPECT_EQ(boxes.boxes()[0].caption, "Test Adapter One");
  EXPECT_EQ(boxes.boxes()[0].type, static_cast<UINT>(MB_ICONINFORMATION));
}

TEST(DisplaySettingsDialog, AutomaticStoresZeroesAndAModeStoresItsValuesOnOk) {
  for (const int item : {0, 2}) {  // "Automatic", then 800 by 600 in 16 bits
    TestApp app;
    AddMonitor(app, "Adapter");
    app.adapters[0]->savedWidth = 800;
    app.adapters[0]->savedHeight = 600;
    app.adapters[0]->savedFormat = D3DFMT_X1R5G5B5;
    RunModal([&] { return ShowDisplaySettings(app, nullptr); }, {[&](HWND dialog) {
               EXPECT_EQ(ComboSelection(dialog), 3);
               ChooseMode(dialog, item);
               EXPECT_EQ(app.adapters[0]->savedFormat, D3DFMT_X1R5G5B5);  // a copy is edited
               Click(dialog, IDOK);
             }});
    EXPECT_EQ(app.adapters[0]->savedWidth, item ? 800u : 0u);
    EXPECT_EQ(app.adapters[0]->savedHeight, item ? 600u : 0u);
    EXPECT_EQ(app.adapters[0]->savedFormat, item ? D3DFMT_R5G6B5 : D3DFMT_UNKNOWN);
  }
}

TEST(DisplaySettingsDialog, UnusableAdapterCannotBeChosen) {
  TestApp app;
  AddMonitor(app, "Adapter");
  AdapterRecord& a = *app.adapters[0];
  a.hasHal = a.halUsable = a.hasSoftware = a.softwareUsable = 0;
  RunModal([&] { return ShowDisplaySettings(app, nullptr); }, {[](HWND dialog) {
             EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_DS_DISABLE_HW)));
             EXPECT_EQ(ItemText(dialog, IDC_DS_STATUS), String(2212));
             Click(dialog, IDOK);
           }});
}

// The tabs themselves are checked over real monitors by the multimon tests.
TEST(DisplaySettingsDialog, WithSeveralMonitorsOkKeepsTheEditsAndCancelDropsThem) {
  for (const int button : {IDOK, IDCANCEL}) {
    TestApp app;
    AddMonitor(app, "First Adapter");
    AddMonitor(app, "Second Adapter");
    app.adapters[1]->hasHal = 0;
    app.adapters[1]->halUsable = 0;
    app.allScreensSame = 0;
    std::vector<AdapterRecord> before = {*app.adapters[0], *app.adapters[1]};
    const INT_PTR result =
        RunModal([&] { return ShowDisplaySettings(app, nullptr); }, {[&](HWND dialog) {
                   ASSERT_NE(GetDlgItem(dialog, IDC_DS_TABS), nullptr);
                   EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_DS_TAB_LABEL)));
                   EXPECT_EQ(ItemText(dialog, IDC_DS_DISABLE_HW),
                             "&Disable hardware 3D rendering on this monitor");
                   EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_DS_USE_MONITOR), BST_CHECKED);

                   // First monitor: hardware off, a fixed mode.
                   Click(dialog, IDC_DS_DISABLE_HW);
                   EXPECT_EQ(ItemText(dialog, IDC_DS_STATUS), String(2211));
                   ChooseMode(dialog, 1);

                   // Second monitor: left black, which disables its mode choice.
                   ChooseTab(dialog, 1);
                   EXPECT_EQ(ItemText(dialog, IDC_DS_ADAPTER_NAME), "Second Adapter");
                   EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_DS_DISABLE_HW)));
                   Click(dialog, IDC_DS_LEAVE_BLACK);
                   EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_DS_MODE_LIST)));
                   Click(dialog, IDC_DS_SAME_IMAGE);

                   // Back on the first tab the edits are shown.
                   ChooseTab(dialog, 0);
                   EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_DS_DISABLE_HW), BST_CHECKED);
                   EXPECT_EQ(ComboSelection(dialog), 1);
                   SendMessageA(dialog, WM_COMMAND, button, 0);
                 }});
    EXPECT_EQ(result, button);
    if (button == IDOK) {
      EXPECT_EQ(app.adapters[0]->disableHardware, 1u);
      EXPECT_EQ(app.adapters[0]->savedWidth, 640u);
      EXPECT_EQ(app.adapters[1]->leaveBlack, 1u);
      EXPECT_EQ(app.allScreensSame, 1u);
    } else {
      EXPECT_EQ(std::memcmp(app.adapters[0].get(), &before[0], sizeof before[0]), 0);
      EXPECT_EQ(std::memcmp(app.adapters[1].get(), &before[1], sizeof before[1]), 0);
      EXPECT_EQ(app.allScreensSame, 0u);
    }
  }
}

TEST(DisplaySettingsDialog, SingleScreenModeWorksOnTheBestAdapter) {
  TestApp app;
  AddMonitor(app, "Software Only");
  AddMonitor(app, "Hardware");
  app.adapters[0]->hasHal = app.adapters[0]->halUsable = 0;
  app.singleScreen = 1;
  RunModal([&] { return ShowDisplaySettings(app, nullptr); }, {[](HWND dialog) {
             EXPECT_EQ(GetDlgItem(dialog, IDC_DS_TABS), nullptr);
             EXPECT_EQ(ItemText(dialog, IDC_DS_ADAPTER_NAME), "Hardware");
             Click(dialog, IDOK);
           }});
}

TEST(DisplaySettingsDialog, OpensOnTheFirstMonitorThatHasAnAdapter) {
  for (const bool tabs : {false, true}) {
    TestApp app;
    AddMonitor(app, "Unused");
    app.monitors[0].adapterIndex = -1;  // a monitor Direct3D has no adapter for
    app.adapters.clear();
    AddMonitor(app, "Shows The Saver");
    if (tabs) AddMonitor(app, "Third");
    RunModal([&] { return ShowDisplaySettings(app, nullptr); }, {[&](HWND dialog) {
               EXPECT_EQ(GetDlgItem(dialog, IDC_DS_TABS) != nullptr, tabs);
               if (tabs) {
                 EXPECT_EQ(TabCtrl_GetCurSel(GetDlgItem(dialog, IDC_DS_TABS)), 1);
               }
               EXPECT_EQ(ItemText(dialog, IDC_DS_ADAPTER_NAME), "Shows The Saver");
               EXPECT_EQ(ItemText(dialog, IDC_DS_STATUS), String(2210));
               ChooseMode(dialog, 1);
               Click(dialog, IDOK);
             }});
    EXPECT_EQ(app.adapters[0]->savedWidth, 640u) << (tabs ? "with tabs" : "without tabs");
  }
}
