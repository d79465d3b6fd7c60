#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/saver_app.h"
#include "host/saver_errors.h"
#include "support/test_support.h"

namespace {

struct Expected {
  HRESULT code;
  const char* text;
};

const Expected kMessages[] = {
    {E_FAIL, "There was an unspecified problem with this screen saver."},
    {SAVER_E_NO_DIRECT3D,
     "Direct3D 8.0 could not be initialized.  Please install the latest version of DirectX."},
    {SAVER_E_INIT, "Could not initialize the screen saver."},
    {SAVER_E_CREATE_DEVICE, "Could not create the Direct3D device."},
    {SAVER_E_NO_COMPATIBLE_DEVICE, "Could not find any compatible Direct3D devices."},
    {SAVER_E_NO_HARDWARE_DEVICE, "No hardware-accelerated Direct3D devices were found."},
    {SAVER_E_HW_FEATURES,
     "This screen saver requires functionality that is not available on your Direct3D "
     "hardware accelerator."},
    {SAVER_E_HW_FEATURES_DESKTOP,
     "This screen saver requires functionality that is not available on your Direct3D "
     "hardware accelerator with the current desktop display settings."},
    {SAVER_E_MEDIA, "Could not load required media."},
    {SAVER_E_RESET, "Could not reset the Direct3D device."},
    {E_OUTOFMEMORY, "Not enough memory."},
    {static_cast<HRESULT>(0x8876017C), "Not enough video memory."},
    {SAVER_E_NO_PREVIEW, "No preview available"},
};

TEST(ErrorMessages, EveryCodeHasItsText) {
  SaverApp app;
  for (const Expected& e : kMessages) {
    char text[512];
    const BOOL specific = app.LookupErrorMessage(e.code, text, sizeof text);
    EXPECT_STREQ(text, e.text) << std::hex << e.code;
    // E_FAIL maps to the generic text, so it does not count as a message of its own.
    EXPECT_EQ(specific, e.code == E_FAIL ? FALSE : TRUE) << std::hex << e.code;
  }
}

TEST(ErrorMessages, UnknownCodesGetTheGenericTextAndFalse) {
  SaverApp app;
  for (HRESULT code : {SAVER_E_SCENE_RESOURCES, static_cast<HRESULT>(0x80070005), S_OK}) {
    char text[512];
    EXPECT_FALSE(app.LookupErrorMessage(code, text, sizeof text));
    EXPECT_STREQ(text, "There was an unspecified problem with this screen saver.");
  }
}

TEST(ErrorMessages, TextIsCutToTheBuffer) {
  SaverApp app;
  char text[8];
  std::memset(text, 'x', sizeof text);
  app.LookupErrorMessage(SAVER_E_MEDIA, text, sizeof text);
  EXPECT_STREQ(text, "Could n");
}

TEST(ErrorMessages, MessageBoxIsCaptionedWithTheWindowTitle) {
  testing_support::MessageBoxRecorder boxes;
  SaverApp app;
  EXPECT_EQ(app.ShowErrorMessage(SAVER_E_RESET), SAVER_E_RESET);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Could not reset the Direct3D device.");
  EXPECT_EQ(boxes.boxes()[0].caption, "Screen Saver");
  EXPECT_EQ(boxes.boxes()[0].type, static_cast<UINT>(MB_ICONERROR));
  EXPECT_EQ(boxes.boxes()[0].owner, nullptr);
}

}  // namespace
