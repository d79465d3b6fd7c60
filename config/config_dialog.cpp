#include "config/config_dialog.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstdio>
#include <utility>
#include <vector>

#include "base/data_paths.h"
#include "base/dpi.h"
#include "base/scoped_gdi.h"
#include "config/dialog_art.h"
#include "config/dialog_scale.h"
#include "config/dialog_seams.h"
#include "config/display_settings_dialog.h"
#include "config/picture_preview.h"
#include "config/select_pictures_dialog.h"
#include "resources/dialog_ids.h"
#include "show/backgrounds.h"
#include "show/show_app.h"
#include "show/show_state.h"

namespace {

// A colour swatch's brush, made again only when its colour changes.
struct SwatchBrush {
  ScopedBrush brush;
  int32_t color = 0;

  HBRUSH For(int32_t wanted) {
    if (brush && wanted == color) return brush.get();
    HBRUSH fresh = CreateSolidBrush(RgbWordToGdi(static_cast<uint32_t>(wanted)));
    if (fresh == nullptr) return brush.get();  // keep the old one rather than none
    brush.Reset(fresh);
    color = wanted;
    return fresh;
  }
};

struct ConfigDialog {
  ShowApp* app = nullptr;
  ShowState state;  // the copy being edited; OK hands it back
  HWND window = nullptr;
  int themeSource = 1;
  int themeLocalIndex = 0;
  SwatchBrush frameBrush;
  SwatchBrush objectBrush;
  ScopedBitmap logo;
  ScopedBitmap header;
  HWND previewButton = nullptr;
  PreviewPicture preview;
  DialogScale scale;
};

std::vector<ThemeRecord>& ThemeList(ConfigDialog& dialog, int source) {
  return source == 1 ? dialog.state.AppThemes : dialog.state.UserThemes;
}

ThemeRecord* SelectedTheme(ConfigDialog& dialog) {
  std::vector<ThemeRecord>& list = ThemeList(dialog, dialog.themeSource);
  if (dialog.themeLocalIndex < 0 || static_cast<size_t>(dialog.themeLocalIndex) >= list.size()) {
    return nullptr;
  }
  return &list[dialog.themeLocalIndex];
}

void SelectSource(ConfigDialog& dialog) {
  const ThemeChoice choice =
      ChooseThemeSource(dialog.state.settings.themeSelIndex, dialog.state.AppThemes.size());
  dialog.themeSource = choice.source;
  dialog.themeLocalIndex = choice.localIndex;
  const bool selected = SelectedTheme(dialog) != nullptr;
  const BOOL editable = selected && dialog.themeSource == 2;
  for (int id :
       {IDC_CFG_FRAME_COLOR, IDC_CFG_GRADIENT_LIST, IDC_CFG_OBJECT_COLOR, IDC_CFG_DELETE_THEME}) {
    EnableWindow(GetDlgItem(dialog.window, id), editable);
  }
  // Without a theme there is nothing for the swatches and switches to edit.
  for (int id : {IDC_CFG_FRAME_SWATCH, IDC_CFG_OBJECT_SWATCH, IDC_CFG_INVERT,
                 IDC_CFG_REFLECTION, IDC_CFG_SHOW_OBJECT}) {
    EnableWindow(GetDlgItem(dialog.window, id), selected ? TRUE : FALSE);
  }
}

void SetCheck(HWND window, int id, int32_t value) {
  CheckDlgButton(window, id, value == 1 ? BST_CHECKED : BST_UNCHECKED);
}

void LoadGradientPreview(ConfigDialog& dialog) {
  char path[MAX_PATH * 2];
  // A gradient outside the ten files shows no preview.
  if (GradientFilePath(dialog.state.InstallDir, dialog.state.settings.gradient, path,
                       sizeof path)) {
    dialog.preview.Load(path);
  }
}

void RedrawGradientPreview(ConfigDialog& dialog) {
  InvalidateRect(dialog.previewButton, nullptr, FALSE);
  UpdateWindow(dialog.previewButton);
}

void ApplyTheme(ConfigDialog& dialog) {
  const ThemeRecord* theme = SelectedTheme(dialog);
  if (theme == nullptr) return;  // nothing selected: the settings stay as they are
  ShowSettings& s = dialog.state.settings;
  CopyThemeLook(*theme, s);

  HWND window = dialog.window;
  SetCheck(window, IDC_CFG_INVERT, s.invertPicture);
  SetCheck(window, IDC_CFG_SHOW_OBJECT, s.render3DObject);
  SetCheck(window, IDC_CFG_REFLECTION, s.renderReflection);
  SendDlgItemMessageA(window, IDC_CFG_GRADIENT_LIST, LB_SETCURSEL, s.gradient, 0);
  SendDlgItemMessageA(window, IDC_CFG_THEME_LIST, LB_SETCURSEL, s.themeSelIndex, 0);
  SendDlgItemMessageA(window, IDC_CFG_OBJECT_LIST, LB_SETCURSEL, s.object3DIndex, 0);

  dialog.preview.Clear();
  LoadGradientPreview(dialog);
  RedrawGradientPreview(dialog);
  // The swatches are child buttons: they must be repainted too to show the new colours.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void AddListText(HWND window, int id, const char* text) {
  SendDlgItemMessageA(window, id, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void OnInit(ConfigDialog& dialog) {
  HWND window = dialog.window;
  ShowWindow(GetDlgItem(window, IDC_CFG_WEB_LINK), SW_SHOW);
  ShowState& state = dialog.state;
  const ShowSettings& settings = state.settings;
  // The lists are filled from the files at every opening.
  state.AppThemes.clear();
  state.UserThemes.clear();
  LoadThemeFile(state.InstallDir, nullptr, kAppThemeFile, state.AppThemes);
  LoadThemeFile(state.InstallDir, nullptr, kUserThemeFile, state.UserThemes);

  HINSTANCE module = GetModuleHandleA(nullptr);
  dialog.logo.Reset(LoadBitmapA(module, MAKEINTRESOURCEA(IDB_TS_LOGO)));
  dialog.header.Reset(LoadBitmapA(module, MAKEINTRESOURCEA(IDB_TS_HEADER)));
  dialog.previewButton = GetDlgItem(window, IDC_CFG_GRADIENT_PREVIEW);
  dialog.frameBrush.For(settings.backGndColor);
  dialog.objectBrush.For(settings.object3DColor);
  // A push button paints its own face over whatever WM_CTLCOLORBTN filled in; drawn by us,
  // the swatches show their colour.
  for (int id : {IDC_CFG_FRAME_SWATCH, IDC_CFG_OBJECT_SWATCH}) {
    HWND swatch = GetDlgItem(window, id);
    const LONG_PTR style = GetWindowLongPtrA(swatch, GWL_STYLE);
    SetWindowLongPtrA(swatch, GWL_STYLE,
                      (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
  }

  char text[64];
  for (size_t i = 1; i <= state.AppThemes.size(); ++i) {
    std::snprintf(text, sizeof text, "Solvane Theme %u", static_cast<unsigned>(i));
    AddListText(window, IDC_CFG_THEME_LIST, text);
  }
  SendDlgItemMessageA(window, IDC_CFG_THEME_LIST, LB_SETCURSEL, settings.themeSelIndex, 0);
  for (size_t i = 1; i <= state.UserThemes.size(); ++i) {
    std::snprintf(text, sizeof text, "User Custom Theme %u", static_cast<unsigned>(i));
    AddListText(window, IDC_CFG_THEME_LIST, text);
  }
  for (int i = 1; i <= kGradientCount; ++i) {
    std::snprintf(text, sizeof text, "Gradient %d", i);
    AddListText(window, IDC_CFG_GRADIENT_LIST, text);
  }
  SendDlgItemMessageA(window, IDC_CFG_GRADIENT_LIST, LB_SETCURSEL, settings.gradient, 0);
  AddListText(window, IDC_CFG_OBJECT_LIST, "Solvane Coffeee Mug");
  SendDlgItemMessageA(window, IDC_CFG_OBJECT_LIST, LB_SETCURSEL, settings.object3DIndex, 0);

  LoadGradientPreview(dialog);
  SetCheck(window, IDC_CFG_INVERT, settings.invertPicture);
  SetCheck(window, IDC_CFG_SHOW_OBJECT, settings.render3DObject);
  SetCheck(window, IDC_CFG_REFLECTION, settings.renderReflection);

  SendDlgItemMessageA(window, IDC_CFG_TIMER, TBM_SETRANGE, FALSE, MAKELPARAM(3, 60));
  SendDlgItemMessageA(window, IDC_CFG_TIMER, TBM_SETPOS, TRUE, settings.pictureTimer);
  SetDlgItemInt(window, IDC_CFG_TIMER_TEXT, static_cast<UINT>(settings.pictureTimer), TRUE);
  SetCheck(window, IDC_CFG_FADE, settings.transitionTime > 0);
  SetCheck(window, IDC_CFG_EVERY_PICTURE, settings.showEveryPicture);

  SelectSource(dialog);
  ApplyTheme(dialog);
}

void OnThemeSelected(ConfigDialog& dialog) {
  ShowSettings& settings = dialog.state.settings;
  settings.themeSelIndex = static_cast<int32_t>(
      SendDlgItemMessageA(dialog.window, IDC_CFG_THEME_LIST, LB_GETCURSEL, 0, 0));
  SelectSource(dialog);
  SendMessageA(dialog.window, WM_COMMAND, IDC_CFG_APPLY_THEME, 0);
}

int32_t ThemeListCount(HWND window) {
  return static_cast<int32_t>(SendDlgItemMessageA(window, IDC_CFG_THEME_LIST, LB_GETCOUNT, 0, 0));
}

void OnNewTheme(ConfigDialog& dialog) {
  ShowSettings& settings = dialog.state.settings;
  HWND window = dialog.window;
  char text[64];
  std::snprintf(text, sizeof text, "User Custom Theme %u",
                static_cast<unsigned>(dialog.state.UserThemes.size() + 1));
  AddListText(window, IDC_CFG_THEME_LIST, text);
  settings.themeSelIndex = ThemeListCount(window) - 1;
  SendDlgItemMessageA(window, IDC_CFG_THEME_LIST, LB_SETCURSEL, settings.themeSelIndex, 0);
  dialog.state.UserThemes.push_back(NewUserTheme());
  SelectSource(dialog);
  ApplyTheme(dialog);
}

void OnDeleteTheme(ConfigDialog& dialog) {
  ShowSettings& settings = dialog.state.settings;
  if (dialog.themeSource != 2 || SelectedTheme(dialog) == nullptr) return;
  HWND window = dialog.window;
  std::vector<ThemeRecord>& own = dialog.state.UserThemes;
  own.erase(own.begin() + dialog.themeLocalIndex);
  SendDlgItemMessageA(window, IDC_CFG_THEME_LIST, LB_DELETESTRING, settings.themeSelIndex, 0);
  settings.themeSelIndex = ThemeListCount(window) - 1;
  SendDlgItemMessageA(window, IDC_CFG_THEME_LIST, LB_SETCURSEL, settings.themeSelIndex, 0);
  SelectSource(dialog);
  ApplyTheme(dialog);
}

void OnChooseColor(ConfigDialog& dialog, bool frame) {
  ShowSettings& settings = dialog.state.settings;
  // Built-in colours are fixed; without a theme there is nothing to colour.
  if (dialog.themeSource == 1 || SelectedTheme(dialog) == nullptr) return;
  COLORREF custom[16] = {};
  CHOOSECOLORA chooser = {};
  chooser.lStructSize = sizeof chooser;
  chooser.hwndOwner = dialog.window;
  chooser.lpCustColors = custom;
  chooser.Flags = CC_ANYCOLOR;
  if (!g_chooseColor(&chooser)) return;
  const uint32_t color = GdiToRgbWord(chooser.rgbResult);
  const RgbBytes rgb = ColorToRgb(static_cast<int32_t>(color));
  ThemeRecord* theme = SelectedTheme(dialog);
  if (frame) {
    settings.backGndColor = static_cast<int32_t>(color);
    settings.backGndRgb = rgb;
    theme->backGndColor = color;
    theme->backGndRgb[0] = rgb.r;
    theme->backGndRgb[1] = rgb.g;
    theme->backGndRgb[2] = rgb.b;
  } else {
    settings.object3DColor = static_cast<int32_t>(color);
    settings.object3DRgb = rgb;
    theme->object3DColor = color;
    theme->object3DRgb[0] = rgb.r;
    theme->object3DRgb[1] = rgb.g;
    theme->object3DRgb[2] = rgb.b;
  }
  ApplyTheme(dialog);
}

void OnGradientSelected(ConfigDialog& dialog) {
  ShowSettings& settings = dialog.state.settings;
  settings.gradient = static_cast<int32_t>(
      SendDlgItemMessageA(dialog.window, IDC_CFG_GRADIENT_LIST, LB_GETCURSEL, 0, 0));
  dialog.preview.Clear();
  if (dialog.themeSource == 2) {
    if (ThemeRecord* theme = SelectedTheme(dialog)) theme->gradient = settings.gradient;
  }
  LoadGradientPreview(dialog);
  RedrawGradientPreview(dialog);
}

// Flips a 0/1 flag; any other stored value is left alone.
void Toggle(int32_t& value) {
  if (value == 1) {
    value = 0;
  } else if (value == 0) {
    value = 1;
  }
}

void OnFlag(ConfigDialog& dialog, int id) {
  ShowSettings& settings = dialog.state.settings;
  ThemeRecord* theme = SelectedTheme(dialog);
  if (theme == nullptr) return;  // the switches belong to a theme
  switch (id) {
    case IDC_CFG_INVERT:
      Toggle(settings.invertPicture);
      theme->invertPicture = settings.invertPicture;
      RedrawGradientPreview(dialog);
      break;
    case IDC_CFG_SHOW_OBJECT:
      Toggle(settings.render3DObject);
      theme->render3DObject = settings.render3DObject;
      break;
    case IDC_CFG_REFLECTION:
      Toggle(settings.renderReflection);
      theme->renderReflection = settings.renderReflection;
      break;
  }
}

// The two ways pictures change, beside the timer: neither belongs to a theme.
void OnChangeOption(ConfigDialog& dialog, int id) {
  ShowSettings& settings = dialog.state.settings;
  const bool checked = IsDlgButtonChecked(dialog.window, id) == BST_CHECKED;
  if (id == IDC_CFG_FADE) {
    settings.transitionTime = checked ? kDefaultTransitionMs : 0;
  } else {
    settings.showEveryPicture = checked ? 1 : 0;
  }
}

void OnTimerMoved(ConfigDialog& dialog) {
  ShowSettings& settings = dialog.state.settings;
  settings.pictureTimer =
      static_cast<int32_t>(SendDlgItemMessageA(dialog.window, IDC_CFG_TIMER, TBM_GETPOS, 0, 0));
  SetDlgItemInt(dialog.window, IDC_CFG_TIMER_TEXT, static_cast<UINT>(settings.pictureTimer),
                TRUE);
}

// Settings and both theme files; the user hears about themes that could not be stored
// (SaveSettings speaks for itself).
void SaveEverything(ConfigDialog& dialog) {
  const ShowState& state = dialog.state;
  dialog.app->SaveSettings(state.settings);
  const bool appSaved = SaveThemeFile(state.InstallDir, nullptr, kAppThemeFile, state.AppThemes);
  const bool userSaved =
      SaveThemeFile(state.InstallDir, nullptr, kUserThemeFile, state.UserThemes);
  if (!appSaved || !userSaved) ShowDialogMessage(dialog.window, IDS_THEMES_NOT_SAVED, MB_ICONERROR);
}

void OpenWebSite(HWND owner) {
  char address[200];
  if (LoadStringA(GetModuleHandleA(nullptr), IDS_WEB_ADDRESS, address, sizeof address) <= 0) {
    return;
  }
  g_shellExecute(owner, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

void OnPreview(ConfigDialog& dialog) {
  SaveEverything(dialog);
  char saver[MAX_PATH * 2];
  if (!FormatPath(saver, sizeof saver, "%s\\Solvane7.scr", dialog.state.InstallDir)) return;
  g_shellExecute(dialog.window, "open", saver, nullptr, nullptr, SW_SHOWNORMAL);
}

void OnOk(ConfigDialog& dialog) {
  OnTimerMoved(dialog);
  SaveEverything(dialog);
  dialog.preview.Clear();
  EndDialog(dialog.window, 1);
}

// The edited copy is dropped with the dialog: nothing to undo.
void OnCancel(ConfigDialog& dialog) {
  dialog.preview.Clear();
  EndDialog(dialog.window, 2);
}

bool OnCommand(ConfigDialog& dialog, int id, int code) {
  switch (id) {
    case IDC_CFG_THEME_LIST:
      if (code == LBN_SELCHANGE) OnThemeSelected(dialog);
      return true;
    case IDC_CFG_APPLY_THEME:
      ApplyTheme(dialog);
      return true;
    case IDC_CFG_NEW_THEME:
      OnNewTheme(dialog);
      return true;
    case IDC_CFG_DELETE_THEME:
      OnDeleteTheme(dialog);
      return true;
    case IDC_CFG_FRAME_COLOR:
    case IDC_CFG_FRAME_SWATCH:
      OnChooseColor(dialog, true);
      return true;
    case IDC_CFG_OBJECT_COLOR:
    case IDC_CFG_OBJECT_SWATCH:
      OnChooseColor(dialog, false);
      return true;
    case IDC_CFG_GRADIENT_LIST:
      if (code == LBN_SELCHANGE) OnGradientSelected(dialog);
      return true;
    case IDC_CFG_INVERT:
    case IDC_CFG_SHOW_OBJECT:
    case IDC_CFG_REFLECTION:
      if (code == BN_CLICKED) OnFlag(dialog, id);
      return true;
    case IDC_CFG_FADE:
    case IDC_CFG_EVERY_PICTURE:
      if (code == BN_CLICKED) OnChangeOption(dialog, id);
      return true;
    case IDC_CFG_PREVIEW_SAVER:
      OnPreview(dialog);
      return true;
    case IDC_CFG_DISPLAY_SETTINGS:
      ShowDisplaySettings(*dialog.app, dialog.window);
      return true;
    case IDC_CFG_SELECT_PICTURES:
      RunSelectPicturesDialog(dialog.window, dialog.state);
      return true;
    case IDC_CFG_ABOUT:
      RunAboutDialog(dialog.window);
      return true;
    case IDC_CFG_WEB_LINK:
      OpenWebSite(dialog.window);
      return true;
    case IDOK:
      OnOk(dialog);
      return true;
    case IDCANCEL:
      OnCancel(dialog);
      return true;
    default:
      return false;
  }
}

// The logo's column reaches to a small margin before the leftmost control, whatever the
// dialog's font and DPI make of its dialog units.
int ArtColumnWidth(HWND window) {
  constexpr int kMarginDlu = 6;
  RECT margin = {0, 0, kMarginDlu, 0};
  MapDialogRect(window, &margin);
  LONG nearest = LONG_MAX;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    RECT rect;
    if (!IsWindowVisible(child) || !GetWindowRect(child, &rect)) continue;
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&rect), 2);
    if (rect.left < nearest) nearest = rect.left;
  }
  return nearest == LONG_MAX ? 0 : static_cast<int>(nearest - margin.right);
}

void OnPaint(ConfigDialog& dialog) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(dialog.window, &paint);
  RECT client;
  GetClientRect(dialog.window, &client);
  DrawDialogArt(dc, dialog.logo.get(), dialog.header.get(), client,
                ArtColumnWidth(dialog.window));
  EndPaint(dialog.window, &paint);
}

INT_PTR OnColorButton(ConfigDialog& dialog, HDC dc, HWND button) {
  const int id = GetDlgCtrlID(button);
  if (id != IDC_CFG_FRAME_SWATCH && id != IDC_CFG_OBJECT_SWATCH) return FALSE;
  const ShowSettings& settings = dialog.state.settings;
  HBRUSH brush = id == IDC_CFG_FRAME_SWATCH ? dialog.frameBrush.For(settings.backGndColor)
                                            : dialog.objectBrush.For(settings.object3DColor);
  RECT client;
  GetClientRect(button, &client);
  FillRect(dc, &client, brush);
  return reinterpret_cast<INT_PTR>(dialog.frameBrush.brush.get());
}

// The swatch face: its colour inside a sunken edge, and the focus rectangle when focused.
void DrawSwatch(ConfigDialog& dialog, const DRAWITEMSTRUCT& item) {
  const bool frame = item.CtlID == IDC_CFG_FRAME_SWATCH;
  const ShowSettings& settings = dialog.state.settings;
  HBRUSH brush = frame ? dialog.frameBrush.For(settings.backGndColor)
                       : dialog.objectBrush.For(settings.object3DColor);
  const int dpi = DpiForWindow(item.hwndItem);
  RECT face = item.rcItem;
  DrawEdge(item.hDC, &face, (item.itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED,
           BF_RECT | BF_ADJUST);
  const int margin = ScaleForDpi(2, dpi);
  InflateRect(&face, -margin, -margin);
  FillRect(item.hDC, &face, brush);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = item.rcItem;
    InflateRect(&focus, -margin - 1, -margin - 1);
    DrawFocusRect(item.hDC, &focus);
  }
}

INT_PTR CALLBACK ConfigDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* dialog = reinterpret_cast<ConfigDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      dialog = reinterpret_cast<ConfigDialog*>(lParam);
      SetWindowLongPtrA(window, DWLP_USER, lParam);
      dialog->window = window;
      dialog->scale.Start(window);
      OnInit(*dialog);
      return TRUE;
    case WM_COMMAND:
      return dialog != nullptr && OnCommand(*dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_HSCROLL:
      if (dialog != nullptr &&
          reinterpret_cast<HWND>(lParam) == GetDlgItem(window, IDC_CFG_TIMER)) {
        OnTimerMoved(*dialog);
        return TRUE;
      }
      return FALSE;
    case WM_PAINT:
      if (dialog == nullptr) return FALSE;
      OnPaint(*dialog);
      return TRUE;
    case WM_DRAWITEM: {
      const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (dialog == nullptr) return FALSE;
      if (item->CtlID == IDC_CFG_FRAME_SWATCH || item->CtlID == IDC_CFG_OBJECT_SWATCH) {
        DrawSwatch(*dialog, *item);
        return TRUE;
      }
      if (item->CtlID != IDC_CFG_GRADIENT_PREVIEW) return FALSE;
      if (!dialog->preview.Held()) {
        FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
      } else {
        dialog->preview.DrawStretched(item->hwndItem, item->hDC,
                                      dialog->state.settings.invertPicture);
      }
      return TRUE;
    }
    case WM_DPICHANGED:
      // The art is laid out from the client size and the controls at every paint.
      if (dialog != nullptr) dialog->scale.Follow(window, wParam, lParam);
      return FALSE;
    case WM_CTLCOLORBTN:
      if (dialog == nullptr) return FALSE;
      return OnColorButton(*dialog, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_ABOUT_WEB_LINK:
          OpenWebSite(window);
          return TRUE;
        case IDOK:
        case IDCANCEL:
          EndDialog(window, LOWORD(wParam));
          return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

uint32_t GdiToRgbWord(uint32_t gdiColor) {
  return ((gdiColor & 0xff) << 16) | (gdiColor & 0xff00) | ((gdiColor >> 16) & 0xff);
}

uint32_t RgbWordToGdi(uint32_t color) { return GdiToRgbWord(color); }

INT_PTR RunConfigurationDialog(ShowApp& app, HWND owner) {
  ConfigDialog dialog;
  dialog.app = &app;
  dialog.state = app.State();
  const INT_PTR result =
      DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CONFIGURATION), owner,
                      ConfigDialogProc, reinterpret_cast<LPARAM>(&dialog));
  if (result == 1) app.State() = std::move(dialog.state);
  return result;
}

const ShowState& EditedState(HWND dialog) {
  return reinterpret_cast<const ConfigDialog*>(GetWindowLongPtrA(dialog, DWLP_USER))->state;
}

INT_PTR RunAboutDialog(HWND owner) {
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutProc,
                         0);
}
