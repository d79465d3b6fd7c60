#include <gtest/gtest.h>

#include "base/registry_keys.h"
#include "show/show_app.h"
#include "support/host_exposed.h"
#include "support/test_support.h"

namespace {

using testing_support::CleanSettingsKeys;
using testing_support::kSettingsPath;

const GUID kAdapterGuid = {0x11223344, 0x5566, 0x7788, {1, 2, 3, 4, 5, 6, 7, 8}};
const GUID kOtherGuid = {0x99999999, 0x5566, 0x7788, {1, 2, 3, 4, 5, 6, 7, 8}};

class DisplaySettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_.monitors.push_back({});
    app_.monitors.push_back({});
    app_.monitors[0].adapterIndex = -1;  // no adapter: no subkey
    app_.monitors[1].adapterIndex = 0;
    app_.adapters.push_back(std::make_unique<AdapterRecord>());
    app_.adapters[0]->identifier.DeviceIdentifier = kAdapterGuid;
  }

  static HKEY ScreenKey(HKEY root, const char* name) {
    HKEY key = nullptr;
    const std::string path = std::string(kSettingsPath) + "\\" + name;
    RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
  }
  static void SetDword(HKEY key, const char* name, DWORD value) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
  }

  CleanSettingsKeys clean_;
  Exposed<ShowApp> app_;
};

TEST_F(DisplaySettingsStoreTest, WriteThenReadRoundTripsPerMonitorValues) {
  AdapterRecord& adapter = *app_.adapters[0];
  app_.allScreensSame = 1;
  adapter.leaveBlack = 1;
  adapter.disableHardware = 1;
  adapter.savedWidth = 800;
  adapter.savedHeight = 600;
  adapter.savedFormat = D3DFMT_R5G6B5;
  ASSERT_TRUE(app_.SaveSettings());

  HKEY unused = ScreenKey(HKEY_LOCAL_MACHINE, "Screen 1");
  DWORD values = 0;
  RegQueryInfoKeyA(unused, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                   nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(unused);
  EXPECT_EQ(values, 0u);  // the monitor without an adapter has nothing stored

  app_.allScreensSame = 0;
  adapter = AdapterRecord();
  adapter.identifier.DeviceIdentifier = kAdapterGuid;
  app_.LoadSettings();
  EXPECT_EQ(app_.allScreensSame, 1u);
  EXPECT_EQ(adapter.leaveBlack, 1u);
  EXPECT_EQ(adapter.disableHardware, 1u);
  EXPECT_EQ(adapter.savedWidth, 800u);
  EXPECT_EQ(adapter.savedHeight, 600u);
  EXPECT_EQ(adapter.savedFormat, D3DFMT_R5G6B5);
}

TEST_F(DisplaySettingsStoreTest, SettingsOfAnotherAdapterKeepOnlyLeaveBlack) {
  HKEY screen = ScreenKey(HKEY_LOCAL_MACHINE, "Screen 2");
  RegSetValueExA(screen, "Adapter ID", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&kOtherGuid),
                 sizeof kOtherGuid);
  SetDword(screen, "Leave Black", 1);
  SetDword(screen, "Disable Hardware", 1);
  SetDword(screen, "Width", 1024);
  RegCloseKey(screen);
  app_.LoadSettings();
  EXPECT_EQ(app_.adapters[0]->leaveBlack, 1u);
  EXPECT_EQ(app_.adapters[0]->disableHardware, 0u);
  EXPECT_EQ(app_.adapters[0]->savedWidth, 0u);
}

TEST_F(DisplaySettingsStoreTest, RememberedPerUserModeIsReadOverTheMachineWideOne) {
  HKEY machine = ScreenKey(HKEY_LOCAL_MACHINE, "Screen 2");
  SetDword(machine, "Width", 1024);
  SetDword(machine, "Height", 768);
  RegCloseKey(machine);
  HKEY user = ScreenKey(HKEY_CURRENT_USER, "Screen 2");
  SetDword(user, "Width", 640);
  SetDword(user, "Height", 480);
  SetDword(user, "Format", D3DFMT_R5G6B5);
  RegCloseKey(user);
  app_.LoadSettings();
  EXPECT_EQ(app_.adapters[0]->savedWidth, 640u);
  EXPECT_EQ(app_.adapters[0]->savedHeight, 480u);
  EXPECT_EQ(app_.adapters[0]->savedFormat, D3DFMT_R5G6B5);
}

TEST_F(DisplaySettingsStoreTest, ReadingLeavesNoEmptyScreenKeys) {
  HKEY settings = nullptr;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                  &settings, nullptr);
  RegCloseKey(settings);
  app_.LoadSettings();
  const std::string path = std::string(kSettingsPath) + "\\Screen 2";
  HKEY screen = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &screen),
            ERROR_FILE_NOT_FOUND);
  if (screen != nullptr) RegCloseKey(screen);
}

TEST_F(DisplaySettingsStoreTest, AnAdapterIdOfAnotherTypeOrSizeCountsAsNone) {
  const char text[16] = "not an adapter";
  for (const DWORD type : {REG_BINARY, REG_SZ}) {
    HKEY screen = ScreenKey(HKEY_LOCAL_MACHINE, "Screen 2");
    // Four bytes of a binary ID, or sixteen bytes of text.
    RegSetValueExA(screen, "Adapter ID", 0, type, reinterpret_cast<const BYTE*>(text),
                   type == REG_BINARY ? 4 : sizeof text);
    SetDword(screen, "Width", 800);
    RegCloseKey(screen);
    app_.adapters[0]->savedWidth = 0;
    app_.LoadSettings();
    EXPECT_EQ(app_.adapters[0]->savedWidth, 800u) << "type " << type;
  }
}

}  // namespace
