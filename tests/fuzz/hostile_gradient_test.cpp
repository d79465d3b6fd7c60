// "Gradient" past the ten gradient files: kept as read, and the backdrop names no file for it.
#include <gtest/gtest.h>

#include <climits>

#include "show/backgrounds.h"
#include "show/show_app.h"
#include "show/show_settings.h"
#include "support/test_support.h"

namespace {

TEST(HostileGradient, GradientPastTheTableNamesNoFile) {
  testing_support::CleanSettingsKeys clean;
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, testing_support::kSettingsPath, 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ShowApp app;
  for (int32_t gradient : {12, 10, -1, INT_MIN, INT_MAX, 9}) {
    SCOPED_TRACE(gradient);
    RegSetValueExA(key, "Gradient", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&gradient),
                   sizeof gradient);
    app.LoadSettings();
    EXPECT_EQ(app.State().settings.gradient, gradient);  // the loader does not range-check
    char path[MAX_PATH] = "untouched";
    const bool named =
        GradientFilePath("C:\\Solvane", app.State().settings.gradient, path, sizeof path);
    if (gradient == 9) {
      EXPECT_TRUE(named);
      EXPECT_STREQ(path, "C:\\Solvane\\data\\grad\\l10.bmp");
    } else {
      EXPECT_FALSE(named);
      EXPECT_STREQ(path, "");
    }
  }
  RegCloseKey(key);
}

}  // namespace
