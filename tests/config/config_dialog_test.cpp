#include "config/config_dialog.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstring>

#include "config/config_fixture.h"
#include "config/dialog_seams.h"
#include "config/modal_script.h"
#include "resources/dialog_ids.h"
#include "show/show_app.h"
#include "show/show_settings.h"
#include "show/theme_file.h"

using testing_support::Click;
using testing_support::DialogStep;
using testing_support::ItemText;
using testing_support::ListBoxText;
using testing_support::MessageBoxRecorder;
using testing_support::RunModal;
using testing_support::ScratchInstall;

namespace {

ThemeRecord Theme(uint32_t frame, uint32_t object, int32_t gradient, int32_t invert,
                  int32_t reflection, int32_t show) {
  ThemeRecord r;
  std::memset(&r, 0, sizeof r);
  r.backGndColor = frame;
  r.backGndRgb[0] = static_cast<uint8_t>(frame >> 16);
  r.backGndRgb[1] = static_cast<uint8_t>(frame >> 8);
  r.backGndRgb[2] = static_cast<uint8_t>(frame);
  r.object3DColor = object;
  r.object3DRgb[0] = static_cast<uint8_t>(object >> 16);
  r.object3DRgb[1] = static_cast<uint8_t>(object >> 8);
  r.object3DRgb[2] = static_cast<uint8_t>(object);
  r.gradient = gradient;
  r.invertPicture = invert;
  r.renderReflection = reflection;
  r.render3DObject = show;
  return r;
}

std::string Lines(const std::vector<ThemeRecord>& records) {
  std::string text;
  for (const ThemeRecord& r : records) text += FormatThemeLine(r) + "\r\n";
  return text;
}

const std::vector<ThemeRecord> kAppThemes = {Theme(0x102030, 0x405060, 1, 0, 1, 1),
                                             Theme(0x0a0b0c, 0x0d0e0f, 2, 1, 0, 1)};
const std::vector<ThemeRecord> kUserThemes = {Theme(0x112233, 0x445566, 3, 0, 1, 0),
                                              Theme(0x778899, 0xaabbcc, 4, 1, 1, 1),
                                              Theme(0xddeeff, 0x010101, 5, 0, 0, 0)};

int colorCalls = 0;
COLORREF colorAnswer = 0;
BOOL WINAPI AnswerColor(LPCHOOSECOLORA chooser) {
  ++colorCalls;
  EXPECT_EQ(chooser->Flags, static_cast<DWORD>(CC_ANYCOLOR));
  EXPECT_NE(chooser->lpCustColors, nullptr);
  chooser->rgbResult = colorAnswer;
  return TRUE;
}

struct ShellCall {
  std::string verb, file;
  int show;
  DWORD timerInRegistry;
  bool appThemesWritten;
};
std::vector<ShellCall> shellCalls;
ScratchInstall* currentInstall = nullptr;
HINSTANCE WINAPI RecordShell(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR, INT show) {
  EXPECT_EQ(parameters, nullptr);
  DWORD timer = 0;
  currentInstall->GetDword("PictureTimer", &timer);
  shellCalls.push_back({verb, file, show, timer,
                        GetFileAttributesA(currentInstall->ThemePath("app.thm").c_str()) !=
                            INVALID_FILE_ATTRIBUTES});
  return reinterpret_cast<HINSTANCE>(42);
}

class ConfigDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    currentInstall = &install;
    g_chooseColor = AnswerColor;
    g_shellExecute = RecordShell;
    colorCalls = 0;
    shellCalls.clear();
  }
  void TearDown() override {
    g_chooseColor = ChooseColorA;
    g_shellExecute = ShellExecuteA;
    CoUninitialize();
  }
  void WriteBothThemeFiles() {
    install.WriteThemes("app.thm", Lines(kAppThemes));
    install.WriteThemes("user.thm", Lines(kUserThemes));
  }
  INT_PTR Run(std::vector<DialogStep> steps) {
    app.LoadSettings();
    return RunModal([this] { return RunConfigurationDialog(app, nullptr); }, std::move(steps));
  }
  static bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }
  static bool EditingEnabled(HWND dialog) {
    return Enabled(dialog, IDC_CFG_FRAME_COLOR) && Enabled(dialog, IDC_CFG_GRADIENT_LIST) &&
           Enabled(dialog, IDC_CFG_OBJECT_COLOR) && Enabled(dialog, IDC_CFG_DELETE_THEME);
  }
  static bool EditingDisabled(HWND dialog) {
    return !Enabled(dialog, IDC_CFG_FRAME_COLOR) && !Enabled(dialog, IDC_CFG_GRADIENT_LIST) &&
           !Enabled(dialog, IDC_CFG_OBJECT_COLOR) && !Enabled(dialog, IDC_CFG_DELETE_THEME);
  }
  // Nothing of a theme can be edited: there is no theme.
  static bool NothingToEdit(HWND dialog) {
    for (int id : {IDC_CFG_FRAME_COLOR, IDC_CFG_FRAME_SWATCH, IDC_CFG_GRADIENT_LIST,
                   IDC_CFG_OBJECT_COLOR, IDC_CFG_OBJECT_SWATCH, IDC_CFG_INVERT, IDC_CFG_REFLECTION,
                   IDC_CFG_SHOW_OBJECT, IDC_CFG_DELETE_THEME}) {
      if (Enabled(dialog, id)) return false;
    }
    return Enabled(dialog, IDC_CFG_NEW_THEME);
  }
  static int Selection(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(dialog, id, LB_GETCURSEL, 0, 0));
  }
  static void Cancel(HWND dialog) { SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }
  static void Ok(HWND dialog) { Click(dialog, IDOK); }

  ScratchInstall install;
  ShowApp app;
};

}  // namespace

TEST(ThemeSource, CombinedIndexMapsToTheTwoLists) {
  EXPECT_EQ(ChooseThemeSource(1, 2).source, 1);
  EXPECT_EQ(ChooseThemeSource(1, 2).localIndex, 1);
  EXPECT_EQ(ChooseThemeSource(2, 2).source, 2);
  EXPECT_EQ(ChooseThemeSource(2, 2).localIndex, 0);
  EXPECT_EQ(ChooseThemeSource(0, 0).source, 2);  // no built-in themes: all are user themes
  EXPECT_EQ(ChooseThemeSource(0, 0).localIndex, 0);
  EXPECT_EQ(ChooseThemeSource(-1, 2).source, 2);  // compared unsigned
  EXPECT_EQ(GdiToRgbWord(RGB(0x12, 0x34, 0x56)), 0x123456u);
  EXPECT_EQ(RgbWordToGdi(0x123456), static_cast<uint32_t>(RGB(0x12, 0x34, 0x56)));
}

TEST_F(ConfigDialogTest, UserThemeSelectedAtOpeningIsAppliedAndEditable) {
  WriteBothThemeFiles();
  install.SetDword("ThemeSelIndex", 3);
  install.SetDword("PictureTimer", 9);
  const INT_PTR result = Run({[](HWND dialog) {
    EXPECT_TRUE(EditingEnabled(dialog));
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_CFG_THEME_LIST, LB_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(ListBoxText(dialog, IDC_CFG_THEME_LIST, 0), "Solvane Theme 1");
    EXPECT_EQ(ListBoxText(dialog, IDC_CFG_THEME_LIST, 4), "User Custom Theme 3");
    EXPECT_EQ(ListBoxText(dialog, IDC_CFG_GRADIENT_LIST, 9), "Gradient 10");
    EXPECT_EQ(ListBoxText(dialog, IDC_CFG_OBJECT_LIST, 0), "Solvane Coffeee Mug");
    EXPECT_EQ(Selection(dialog, IDC_CFG_THEME_LIST), 3);
    EXPECT_EQ(Selection(dialog, IDC_CFG_GRADIENT_LIST), 4);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CFG_INVERT), BST_CHECKED);
    EXPECT_EQ(ItemText(dialog, IDC_CFG_TIMER_TEXT), "9");
    EXPECT_EQ(EditedState(dialog).settings.backGndColor, 0x778899);
    EXPECT_EQ(EditedState(dialog).settings.object3DRgb.g, 0xbb);
    Cancel(dialog);
  }});
  EXPECT_EQ(result, 2);
}

TEST_F(ConfigDialogTest, BuiltInThemeSelectedAtOpeningIsNotEditable) {
  WriteBothThemeFiles();
  install.SetDword("ThemeSelIndex", 1);
  Run({[](HWND dialog) {
    EXPECT_TRUE(EditingDisabled(dialog));
    EXPECT_EQ(EditedState(dialog).settings.backGndColor, 0x0a0b0c);
    EXPECT_EQ(EditedState(dialog).settings.gradient, 2);
    // Choosing a user theme in the list opens its editing, and a built-in one closes it.
    SendDlgItemMessageA(dialog, IDC_CFG_THEME_LIST, LB_SETCURSEL, 2, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CFG_THEME_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_CFG_THEME_LIST)));
    EXPECT_TRUE(EditingEnabled(dialog));
    EXPECT_EQ(EditedState(dialog).settings.themeSelIndex, 2);
    EXPECT_EQ(EditedState(dialog).settings.backGndColor, 0x112233);
    Cancel(dialog);
  }});
}

TEST_F(ConfigDialogTest, WithoutAppThemesIndexZeroIsTheFirstUserTheme) {
  install.WriteThemes("user.thm", Lines(kUserThemes));
  install.SetDword("ThemeSelIndex", 0);
  Run({[](HWND dialog) {
    EXPECT_TRUE(EditingEnabled(dialog));
    EXPECT_EQ(ListBoxText(dialog, IDC_CFG_THEME_LIST, 0), "User Custom Theme 1");
    EXPECT_EQ(EditedState(dialog).settings.backGndColor, 0x112233);
    EXPECT_EQ(EditedState(dialog).settings.render3DObject, 0);
    Cancel(dialog);
  }});
}

TEST_F(ConfigDialogTest, NoThemesAtAllLeavesTheSettingsAlone) {
  install.SetDword("BackGndColor", 0x00abcdef);
  install.SetDword("ThemeSelIndex", 7);
  Run({[](HWND dialog) {
    EXPECT_EQ(EditedState(dialog).settings.backGndColor, 0x00abcdef);
    EXPECT_TRUE(NothingToEdit(dialog));
    Click(dialog, IDC_CFG_DELETE_THEME);  // nothing to delete
    Click(dialog, IDC_CFG_OBJECT_SWATCH);
    EXPECT_EQ(colorCalls, 0);
    Cancel(dialog);
  }});
}

TEST_F(ConfigDialogTest, DeletingTheOnlyThemeLeavesNothingToEditUntilANewOne) {
  install.WriteThemes("user.thm", Lines({kUserThemes[0]}));
  Run({[](HWND dialog) {
    EXPECT_TRUE(EditingEnabled(dialog));
    Click(dialog, IDC_CFG_DELETE_THEME);
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_CFG_THEME_LIST, LB_GETCOUNT, 0, 0), 0);
    EXPECT_TRUE(NothingToEdit(dialog));
    Click(dialog, IDC_CFG_NEW_THEME);
    EXPECT_TRUE(EditingEnabled(dialog));
    EXPECT_TRUE(Enabled(dialog, IDC_CFG_SHOW_OBJECT));
    Cancel(dialog);
  }});
}

TEST_F(ConfigDialogTest, ColourButtonsDoNothingOnABuiltInTheme) {
  WriteBothThemeFiles();
  install.SetDword("ThemeSelIndex", 0);
  colorAnswer = RGB(1, 2, 3);
  Run({[](HWND dialog) {
    for (int id :
         {IDC_CFG_FRAME_COLOR, IDC_CFG_FRAME_SWATCH, IDC_CFG_OBJECT_COLOR, IDC_CFG_OBJECT_SWATCH}) {
      SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    EXPECT_EQ(colorCalls, 0);
    EXPECT_EQ(EditedState(dialog).settings.backGndColor, 0x102030);
    EXPECT_EQ(EditedState(dialog).AppThemes[0].backGndColor, 0x102030u);
    Cancel(dialog);
  }});
}

TEST_F(ConfigDialogTest, ColourChosenForAUserThemeGoesIntoSettingsAndTheme) {
  WriteBothThemeFiles();
  install.SetDword("ThemeSelIndex", 2);
  colorAnswer = RGB(0x12, 0x34, 0x56);
  Run({[](HWND dialog) {
    Click(dialog, IDC_CFG_FRAME_SWATCH);
    EXPECT_EQ(colorCalls, 1);
    EXPECT_EQ(EditedState(dialog).settings.backGndColor, 0x123456);
    EXPECT_EQ(EditedState(dialog).settings.backGndRgb.r, 0x12);
    EXPECT_EQ(EditedState(dialog).settings.backGndRgb.b, 0x56);
    EXPECT_EQ(EditedState(dialog).UserThemes[0].backGndColor, 0x123456u);
    EXPECT_EQ(EditedState(dialog).UserThemes[0].backGndRgb[1], 0x34);
    colorAnswer = RGB(0xfe, 0, 0x01);
    Click(dialog, IDC_CFG_OBJECT_COLOR);
    EXPECT_EQ(EditedState(dialog).settings.object3DColor, 0xfe0001);
    EXPECT_EQ(EditedState(dialog).UserThemes[0].object3DRgb[0], 0xfe);
    // The background list edits the user theme too.
    SendDlgItemMessageA(dialog, IDC_CFG_GRADIENT_LIST, LB_SETCURSEL, 6, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CFG_GRADIENT_LIST, LBN_SELCHANGE), 0);
    EXPECT_EQ(EditedState(dialog).settings.gradient, 6);
    EXPECT_EQ(EditedState(dialog).UserThemes[0].gradient, 6);
    Cancel(dialog);
  }});
}

TEST_F(ConfigDialogTest, SwatchBrushIsReplacedNotLeaked) {
  WriteBothThemeFiles();
  install.SetDword("ThemeSelIndex", 4);
  Run({[](HWND dialog) {
    HWND swatch = GetDlgItem(dialog, IDC_CFG_FRAME_SWATCH);
    HDC dc = GetDC(swatch);
    HBRUSH previous = nullptr;
    for (int i = 0; i < 200; ++i) {
      HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageA(
          dialog, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(swatch)));
      ASSERT_NE(brush, nullptr);
      if (previous != nullptr && previous != brush) {
        EXPECT_EQ(GetObjectType(previous), 0u) << "old swatch brush still alive";
      }
      previous = brush;
    }
    LOGBRUSH info;
    ASSERT_EQ(GetObjectA(previous, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.lbColor, RGB(0xdd, 0xee, 0xff));
    // The object swatch gets its own brush, the message answers with the frame brush.
    HWND objectSwatch = GetDlgItem(dialog, IDC_CFG_OBJECT_SWATCH);
    const LRESULT answer = SendMessageA(dialog, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                        reinterpret_cast<LPARAM>(objectSwatch));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(answer), previous);
    ReleaseDC(swatch, dc);
    Cancel(dialog);
  }});
}

TEST_F(ConfigDialogTest, ShowToggledOnABuiltInThemeIsWrittenIntoAppThm) {
  WriteBothThemeFiles();
  install.SetDword("ThemeSelIndex", 1);
  const INT_PTR result = Run({[](HWND dialog) {
    Click(dialog, IDC_CFG_SHOW_OBJECT);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CFG_SHOW_OBJECT), BST_UNCHECKED);
    EXPECT_EQ(EditedState(dialog).settings.render3DObject, 0);
    Ok(dialog);
  }});
  EXPECT_EQ(result, 1);
  std::vector<ThemeRecord> expected = kAppThemes;
  expected[1].render3DObject = 0;
  EXPECT_EQ(install.ReadThemes("app.thm"), Lines(expected));
  EXPECT_EQ(install.ReadThemes("user.thm"), Lines(kUserThemes));
}

TEST_F(ConfigDialogTest, OkWritesEverySettingAndBothThemeFiles) {
  WriteBothThemeFiles();
  install.SetDword("ThemeSelIndex", 3);
  Run({[](HWND dialog) {
    Click(dialog, IDC_CFG_REFLECTION);
    Click(dialog, IDC_CFG_INVERT);
    SendDlgItemMessageA(dialog, IDC_CFG_TIMER, TBM_SETPOS, TRUE, 42);
    Ok(dialog);
  }});
  DWORD value = 0;
  ASSERT_TRUE(install.GetDword("BackGndColor", &value));
  EXPECT_EQ(value, 0x778899u);
  ASSERT_TRUE(install.GetDword("Object3DColor", &value));
  EXPECT_EQ(value, 0xaabbccu);
  ASSERT_TRUE(install.GetDword("Gradient", &value));
  EXPECT_EQ(value, 4u);
  ASSERT_TRUE(install.GetDword("InvertPicture", &value));
  EXPECT_EQ(value, 0u);
  ASSERT_TRUE(install.GetDword("RenderReflection", &value));
  EXPECT_EQ(value, 0u);
  ASSERT_TRUE(install.GetDword("Render3DObject", &value));
  EXPECT_EQ(value, 1u);
  ASSERT_TRUE(install.GetDword("PictureTimer", &value));
  EXPECT_EQ(value, 42u);
  EXPECT_EQ(app.State().settings.pictureTimer, 42);  // the edited copy is handed back
  ASSERT_TRUE(install.GetDword("ThemeSelIndex", &value));
  EXPECT_EQ(value, 3u);
  ASSERT_TRUE(install.GetDword("Object3DIndex", &value));
  std::vector<ThemeRecord> expected = kUserThemes;
  expected[1].renderReflection = 0;
  expected[1].invertPicture = 0;
  EXPECT_EQ(install.ReadThemes("user.thm"), Lines(expected));
  EXPECT_EQ(install.ReadThemes("app.thm"), Lines(kAppThemes));
}

TEST_F(ConfigDialogTest, NewThemeAddsTheWhiteThemeAndSelectsIt) {
  WriteBothThemeFiles();
  install.SetDword("ThemeSelIndex", 0);
  Run({[](HWND dialog) {
    Click(dialog, IDC_CFG_NEW_THEME);
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_CFG_THEME_LIST, LB_GETCOUNT, 0, 0), 6);
    EXPECT_EQ(ListBoxText(dialog, IDC_CFG_THEME_LIST, 5), "User Custom Theme 4");
    EXPECT_EQ(Selection(dialog, IDC_CFG_THEME_LIST), 5);
    EXPECT_TRUE(EditingEnabled(dialog));
    EXPECT_EQ(EditedState(dialog).settings.backGndColor, 0xffffff);
    EXPECT_EQ(EditedState(dialog).settings.object3DColor, 0xffffff);
    EXPECT_EQ(EditedState(dialog).settings.gradient, 0);
    EXPECT_EQ(EditedState(dialog).settings.invertPicture, 0);
    EXPECT_EQ(EditedState(dialog).settings.render3DObject, 1);
    EXPECT_EQ(EditedState(dialog).settings.renderReflection, 1);
    Ok(dialog);
  }});
  EXPECT_EQ(install.ReadThemes("user.thm"),
            Lines(kUserThemes) +
                "{0xffffff, {0xff, 0xff, 0xff}, 0, 0, 0, 0xffffff, {0xff, 0xff, 0xff}, 1, 1}\r\n");
}

TEST_F(ConfigDialogTest, DeleteSelectsTheLastItemOfTheList) {
  WriteBothThemeFiles();
  install.SetDword("ThemeSelIndex", 2);
  Run({[](HWND dialog) {
    Click(dialog, IDC_CFG_DELETE_THEME);
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_CFG_THEME_LIST, LB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(Selection(dialog, IDC_CFG_THEME_LIST), 3);
    EXPECT_EQ(EditedState(dialog).settings.themeSelIndex, 3);
    EXPECT_EQ(EditedState(dialog).settings.backGndColor, 0xddeeff);  // the last theme is applied
    Ok(dialog);
  }});
  EXPECT_EQ(install.ReadThemes("user.thm"), Lines({kUserThemes[1], kUserThemes[2]}));
}

TEST_F(ConfigDialogTest, DeletingTheLastUserThemeFallsBackToTheLastBuiltInOne) {
  install.WriteThemes("app.thm", Lines(kAppThemes));
  install.WriteThemes("user.thm", Lines({kUserThemes[0]}));
  install.SetDword("ThemeSelIndex", 2);
  Run({[](HWND dialog) {
    Click(dialog, IDC_CFG_DELETE_THEME);
    EXPECT_EQ(Selection(dialog, IDC_CFG_THEME_LIST), 1);
    EXPECT_TRUE(EditingDisabled(dialog));
    EXPECT_EQ(EditedState(dialog).settings.backGndColor, 0x0a0b0c);
    Ok(dialog);
  }});
  EXPECT_EQ(install.ReadThemes("user.thm"), "");
}

TEST_F(ConfigDialogTest, TrackbarUpdatesTheEditAtOnceAndCancelDropsTheChange) {
  WriteBothThemeFiles();
  install.SetDword("PictureTimer", 7);
  const INT_PTR result = Run({[](HWND dialog) {
    HWND trackbar = GetDlgItem(dialog, IDC_CFG_TIMER);
    EXPECT_EQ(SendMessageA(trackbar, TBM_GETRANGEMIN, 0, 0), 3);
    EXPECT_EQ(SendMessageA(trackbar, TBM_GETRANGEMAX, 0, 0), 60);
    EXPECT_EQ(SendMessageA(trackbar, TBM_GETPOS, 0, 0), 7);
    // The user drags the thumb: the trackbar moves and tells its parent.
    SendMessageA(trackbar, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(ItemText(dialog, IDC_CFG_TIMER_TEXT), "60");
    EXPECT_EQ(EditedState(dialog).settings.pictureTimer, 60);
    Cancel(dialog);
  }});
  EXPECT_EQ(result, 2);
  EXPECT_EQ(app.State().settings.pictureTimer, 7);
  DWORD stored = 0;
  ASSERT_TRUE(install.GetDword("PictureTimer", &stored));
  EXPECT_EQ(stored, 7u);
  EXPECT_EQ(install.ReadThemes("app.thm"), Lines(kAppThemes));
}

TEST_F(ConfigDialogTest, PreviewSavesThenStartsTheSaver) {
  install.SetDword("PictureTimer", 7);
  Run({[](HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_CFG_TIMER, TBM_SETPOS, TRUE, 33);
    SendMessageA(dialog, WM_HSCROLL, TB_THUMBPOSITION,
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_CFG_TIMER)));
    Click(dialog, IDC_CFG_PREVIEW_SAVER);
    EXPECT_TRUE(IsWindowVisible(dialog));  // the dialog stays open
    Click(dialog, IDC_CFG_WEB_LINK);
    Cancel(dialog);
  }});
  ASSERT_EQ(shellCalls.size(), 2u);
  EXPECT_EQ(shellCalls[0].verb, "open");
  EXPECT_EQ(shellCalls[0].file, install.root() + "\\Solvane7.scr");
  EXPECT_EQ(shellCalls[0].show, SW_SHOWNORMAL);
  EXPECT_EQ(shellCalls[0].timerInRegistry, 33u);
  EXPECT_TRUE(shellCalls[0].appThemesWritten);
  EXPECT_EQ(shellCalls[1].file, "https://www.example.com/solvane");
}

TEST_F(ConfigDialogTest, ThemesThatCannotBeStoredAnywhereAreReported) {
  WriteBothThemeFiles();
  DeleteFileA(install.ThemePath("user.thm").c_str());
  CreateDirectoryA(install.ThemePath("user.thm").c_str(), nullptr);
  testing_support::WriteFileBytes(install.UserFolder(), "in the way");
  MessageBoxRecorder boxes;
  Run({[](HWND dialog) { Ok(dialog); }});
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_NE(boxes.boxes()[0].text.find("themes could not be saved"), std::string::npos);
  EXPECT_EQ(boxes.boxes()[0].caption, "Solvane ScreenSaver 7.0");
  RemoveDirectoryA(install.ThemePath("user.thm").c_str());
  DeleteFileA(install.UserFolder().c_str());
}

TEST_F(ConfigDialogTest, OpensAboutSelectPicturesAndDisplaySettingsOwnedByItself) {
  WriteBothThemeFiles();
  HWND config = nullptr;
  std::vector<std::string> captions;
  auto caption = [&captions](HWND dialog) {
    char text[100];
    GetWindowTextA(dialog, text, sizeof text);
    captions.push_back(text);
  };
  const INT_PTR result = Run({
      [&](HWND dialog) {
        config = dialog;
        PostMessageA(dialog, WM_COMMAND, IDC_CFG_ABOUT, 0);
      },
      [&](HWND about) {
        caption(about);
        EXPECT_EQ(GetWindow(about, GW_OWNER), config);
        Click(about, IDC_ABOUT_WEB_LINK);
        Click(about, IDOK);
      },
      [&](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDC_CFG_SELECT_PICTURES, 0); },
      [&](HWND pictures) {
        caption(pictures);
        EXPECT_EQ(GetWindow(pictures, GW_OWNER), config);
        Click(pictures, IDOK);
      },
      [&](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDC_CFG_DISPLAY_SETTINGS, 0); },
      [&](HWND display) {
        caption(display);
        EXPECT_EQ(GetWindow(display, GW_OWNER), config);
        SendMessageA(display, WM_COMMAND, IDCANCEL, 0);
      },
      [](HWND dialog) { Cancel(dialog); },
  });
  EXPECT_EQ(result, 2);
  EXPECT_EQ(captions, (std::vector<std::string>{"About Solvane ScreenSaver 7.0", "Select Pictures",
                                                "Display Settings"}));
  ASSERT_EQ(shellCalls.size(), 1u);
  EXPECT_EQ(shellCalls[0].file, "https://www.example.com/solvane");
}
