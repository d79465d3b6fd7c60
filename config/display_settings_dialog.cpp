#include "config/display_settings_dialog.h"

#include <commctrl.h>

#include <cstdio>
#include <initializer_list>

#include "base/dpi.h"
#include "base/message_box.h"
#include "config/dialog_scale.h"
#include "resources/dialog_ids.h"

namespace {

struct DisplaySettingsDialog {
  SaverApp* app = nullptr;
  HWND window = nullptr;
  DisplaySettings edits;  // the working copy: OK hands it back, Cancel drops it
  DialogScale scale;
};

// The first monitor with an adapter: the one that shows the saver. 0 when none has one.
int SaverMonitor(const SaverApp& app) {
  for (uint32_t i = 0; i < app.Monitors().size(); ++i) {
    if (app.Adapter(app.Monitors()[i].adapterIndex) != nullptr) return static_cast<int>(i);
  }
  return 0;
}

int SelectedMonitor(const DisplaySettingsDialog& dialog) {
  SaverApp& app = *dialog.app;
  if (app.SingleScreen()) {
    int32_t best = -1;
    const AdapterRecord* adapter = app.PickBestAdapter(&best) ? app.Adapter(best) : nullptr;
    if (adapter != nullptr && app.Monitors().at(adapter->monitorIndex) != nullptr) {
      return adapter->monitorIndex;
    }
  }
  HWND tabs = GetDlgItem(dialog.window, IDC_DS_TABS);
  const int selected = tabs ? TabCtrl_GetCurSel(tabs) : -1;
  return app.Monitors().at(selected) != nullptr ? selected : SaverMonitor(app);
}

int32_t MonitorAdapterIndex(const SaverApp& app, int monitor) {
  const MonitorRecord* record = app.Monitors().at(monitor);
  return record != nullptr ? record->adapterIndex : -1;
}

const AdapterRecord* MonitorAdapter(const SaverApp& app, int monitor) {
  return app.Adapter(MonitorAdapterIndex(app, monitor));
}

// The working copy of the selected monitor's adapter; null when it has none.
DisplayChoice* SelectedChoice(DisplaySettingsDialog& dialog) {
  return dialog.edits.choices.at(MonitorAdapterIndex(*dialog.app, SelectedMonitor(dialog)));
}

void EnableItem(HWND window, int id, bool enable) {
  if (HWND item = GetDlgItem(window, id)) EnableWindow(item, enable ? TRUE : FALSE);
}

void EnableModeControls(HWND window, bool enable) {
  for (int id : {IDC_DS_MODE_LIST, IDC_DS_MODE_LABEL, IDC_DS_MODE_GROUP, IDC_DS_MODE_NOTE}) {
    EnableItem(window, id, enable);
  }
}

void FillModeList(HWND window, const AdapterRecord* adapter, const DisplayChoice* choice) {
  HWND list = GetDlgItem(window, IDC_DS_MODE_LIST);
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  if (adapter == nullptr || choice == nullptr) return;
  char text[100];
  GetDlgItemTextA(window, IDC_DS_AUTOMATIC, text, sizeof text);
  LRESULT item = SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  SendMessageA(list, CB_SETITEMDATA, item, static_cast<LPARAM>(-1));

  char modeTemplate[100];
  GetDlgItemTextA(window, IDC_DS_MODE_TEMPLATE, modeTemplate, sizeof modeTemplate);
  int selected = 0;
  if (adapter->currentDevice < adapter->deviceCount && adapter->currentDevice < kMaxDeviceTypes) {
    const DeviceTypeRecord& device = adapter->devices[adapter->currentDevice];
    const uint32_t count = device.modeCount < kMaxModes ? device.modeCount : kMaxModes;
    for (uint32_t j = 0; j < count; ++j) {
      const DisplayModeEntry& mode = device.modes[j];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
      std::snprintf(text, sizeof text, modeTemplate, static_cast<int>(mode.width),
                    static_cast<int>(mode.height), ModeBitCount(mode.format));
#pragma GCC diagnostic pop
      item = SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
      SendMessageA(list, CB_SETITEMDATA, item, static_cast<LPARAM>(j));
      if (selected == 0 && mode.width == choice->savedWidth &&
          mode.height == choice->savedHeight && mode.format == choice->savedFormat) {
        selected = static_cast<int>(j) + 1;
      }
    }
  }
  SendMessageA(list, CB_SETCURSEL, selected, 0);
}

void Refresh(DisplaySettingsDialog& dialog) {
  HWND window = dialog.window;
  const int monitor = SelectedMonitor(dialog);
  const AdapterRecord* adapter = MonitorAdapter(*dialog.app, monitor);
  const DisplayChoice* choice = SelectedChoice(dialog);
  if (choice == nullptr) adapter = nullptr;
  SetDlgItemTextA(window, IDC_DS_ADAPTER_NAME, dialog.app->Monitors()[monitor].adapterName);
  char status[200];
  if (LoadStringA(GetModuleHandleA(nullptr), DisplayStatusTextId(adapter, choice), status,
                  sizeof status) <= 0) {
    status[0] = '\0';
  }
  SetDlgItemTextA(window, IDC_DS_STATUS, status);

  const bool halOn = adapter != nullptr && adapter->hasHal && adapter->halUsable;
  EnableItem(window, IDC_DS_DISABLE_HW, halOn);
  CheckDlgButton(window, IDC_DS_DISABLE_HW,
                 halOn && choice->disableHardware ? BST_CHECKED : BST_UNCHECKED);

  const bool usable = adapter != nullptr && ((adapter->halUsable && !choice->disableHardware) ||
                                             adapter->softwareUsable);
  const bool black = !usable || choice->leaveBlack;
  CheckDlgButton(window, IDC_DS_USE_MONITOR, black ? BST_UNCHECKED : BST_CHECKED);
  CheckDlgButton(window, IDC_DS_LEAVE_BLACK, black ? BST_CHECKED : BST_UNCHECKED);
  for (int id : {IDC_DS_USAGE_GROUP, IDC_DS_USE_MONITOR, IDC_DS_LEAVE_BLACK}) {
    EnableItem(window, id, usable);
  }
  // Dialog 200 has no radio buttons: its mode controls stay enabled.
  EnableModeControls(window, IsDlgButtonChecked(window, IDC_DS_LEAVE_BLACK) != BST_CHECKED);
  FillModeList(window, adapter, choice);
}

// The themed tab page is white while the controls on it paint the dialog colour: draw the
// tab control plainly so that both match.
void PlainTabs(HWND tabs) {
  using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
  HMODULE themes = LoadLibraryA("uxtheme.dll");  // stays loaded: comctl32 uses it too
  if (themes == nullptr) return;
  auto setTheme = reinterpret_cast<SetWindowThemeFn>(
      reinterpret_cast<void*>(GetProcAddress(themes, "SetWindowTheme")));
  if (setTheme != nullptr) setTheme(tabs, L"", L"");
}

void OnInit(DisplaySettingsDialog& dialog) {
  SaverApp& app = *dialog.app;
  if (HWND tabs = GetDlgItem(dialog.window, IDC_DS_TABS)) {
    PlainTabs(tabs);
    // The tabs' margins around their text, 6 by 3 pixels at 96 DPI.
    const int dpi = DpiForWindow(dialog.window);
    TabCtrl_SetPadding(tabs, ScaleForDpi(6, dpi), ScaleForDpi(3, dpi));
    char label[100];
    GetDlgItemTextA(dialog.window, IDC_DS_TAB_LABEL, label, sizeof label);
    for (uint32_t i = 0; i < app.Monitors().size(); ++i) {
      char text[128];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
      std::snprintf(text, sizeof text, label, static_cast<int>(i + 1));
#pragma GCC diagnostic pop
      TCITEMA item = {};
      item.mask = TCIF_TEXT;
      item.pszText = text;
      SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    TabCtrl_SetCurSel(tabs, SaverMonitor(app));
  }
  dialog.edits = app.CopyDisplaySettings();
  Refresh(dialog);
  CheckDlgButton(dialog.window, IDC_DS_SAME_IMAGE,
                 dialog.edits.allScreensSame ? BST_CHECKED : BST_UNCHECKED);
}

void OnModeSelected(DisplaySettingsDialog& dialog) {
  const AdapterRecord* adapter = MonitorAdapter(*dialog.app, SelectedMonitor(dialog));
  DisplayChoice* choice = SelectedChoice(dialog);
  if (adapter == nullptr || choice == nullptr) return;
  HWND list = GetDlgItem(dialog.window, IDC_DS_MODE_LIST);
  const LRESULT selected = SendMessageA(list, CB_GETCURSEL, 0, 0);
  if (selected == CB_ERR) return;
  const LRESULT data = SendMessageA(list, CB_GETITEMDATA, selected, 0);
  if (selected == 0 || data < 0) {
    choice->savedWidth = 0;
    choice->savedHeight = 0;
    choice->savedFormat = D3DFMT_UNKNOWN;
    return;
  }
  if (adapter->currentDevice >= adapter->deviceCount || adapter->currentDevice >= kMaxDeviceTypes) {
    return;
  }
  const DeviceTypeRecord& device = adapter->devices[adapter->currentDevice];
  if (static_cast<uint32_t>(data) >= device.modeCount || data >= static_cast<LRESULT>(kMaxModes)) {
    return;
  }
  const DisplayModeEntry& mode = device.modes[data];
  choice->savedWidth = mode.width;
  choice->savedHeight = mode.height;
  choice->savedFormat = mode.format;
}

void ShowHelp(DisplaySettingsDialog& dialog) {
  const int monitor = SelectedMonitor(dialog);
  const MonitorRecord* record = dialog.app->Monitors().at(monitor);
  if (record == nullptr) return;
  char text[500];
  if (LoadStringA(GetModuleHandleA(nullptr),
                  DisplayHelpTextId(*record, MonitorAdapter(*dialog.app, monitor),
                                    SelectedChoice(dialog)),
                  text, sizeof text) <= 0) {
    text[0] = '\0';
  }
  g_messageBox(dialog.window, text, record->adapterName, MB_ICONINFORMATION);
}

bool OnCommand(DisplaySettingsDialog& dialog, int id, int code) {
  HWND window = dialog.window;
  switch (id) {
    case IDC_DS_DISABLE_HW:
      if (DisplayChoice* choice = SelectedChoice(dialog)) {
        choice->disableHardware = IsDlgButtonChecked(window, IDC_DS_DISABLE_HW) == BST_CHECKED;
      }
      Refresh(dialog);
      return true;
    case IDC_DS_USE_MONITOR:
    case IDC_DS_LEAVE_BLACK: {
      const bool black = IsDlgButtonChecked(window, IDC_DS_LEAVE_BLACK) == BST_CHECKED;
      if (DisplayChoice* choice = SelectedChoice(dialog)) choice->leaveBlack = black;
      EnableModeControls(window, !black);
      return true;
    }
    case IDC_DS_MODE_LIST:
      if (code == CBN_SELCHANGE) OnModeSelected(dialog);
      return true;
    case IDC_DS_SAME_IMAGE:
      dialog.edits.allScreensSame = IsDlgButtonChecked(window, IDC_DS_SAME_IMAGE) == BST_CHECKED;
      return true;
    case IDC_DS_HELP:
      ShowHelp(dialog);
      return true;
    case IDOK:
      dialog.app->ApplyDisplaySettings(dialog.edits);
      EndDialog(window, IDOK);
      return true;
    case IDCANCEL:
      EndDialog(window, IDCANCEL);
      return true;
    default:
      return false;
  }
}

INT_PTR CALLBACK DisplaySettingsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* dialog = reinterpret_cast<DisplaySettingsDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      dialog = reinterpret_cast<DisplaySettingsDialog*>(lParam);
      SetWindowLongPtrA(window, DWLP_USER, lParam);
      dialog->window = window;
      dialog->scale.Start(window);
      OnInit(*dialog);
      return TRUE;
    case WM_COMMAND:
      return dialog != nullptr && OnCommand(*dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
      if (dialog != nullptr && header->idFrom == IDC_DS_TABS && header->code == TCN_SELCHANGE) {
        Refresh(*dialog);
        return TRUE;
      }
      return FALSE;
    }
    case WM_DPICHANGED:
      if (HWND tabs = GetDlgItem(window, IDC_DS_TABS)) {
        const int dpi = LOWORD(wParam);
        TabCtrl_SetPadding(tabs, ScaleForDpi(6, dpi), ScaleForDpi(3, dpi));
      }
      if (dialog != nullptr) dialog->scale.Follow(window, wParam, lParam);
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

UINT DisplayHelpTextId(const MonitorRecord& monitor, const AdapterRecord* adapter,
                       const DisplayChoice* choice) {
  if (monitor.monitorHandle == nullptr || adapter == nullptr) return 2206;
  const bool disableHardware =
      choice != nullptr ? choice->disableHardware != 0 : adapter->disableHardware != 0;
  if (!adapter->hasHal) {
    if (!adapter->hasSoftware) return 2206;
    return adapter->softwareUsable ? 2204 : 2205;
  }
  if (disableHardware) {
    if (!adapter->hasSoftware) return 2209;
    return adapter->softwareUsable ? 2207 : 2208;
  }
  if (adapter->halUsable) return 2200;
  if (!adapter->hasSoftware) return 2203;
  return adapter->softwareUsable ? 2201 : 2202;
}

UINT DisplayStatusTextId(const AdapterRecord* adapter, const DisplayChoice* choice) {
  if (adapter == nullptr) return 2212;
  const bool disableHardware =
      choice != nullptr ? choice->disableHardware != 0 : adapter->disableHardware != 0;
  if (adapter->hasHal && adapter->halUsable && !disableHardware) return 2210;
  if (adapter->hasSoftware && adapter->softwareUsable) return 2211;
  return 2212;
}

int ModeBitCount(D3DFORMAT format) {
  return format == D3DFMT_R8G8B8 || format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8 ? 32
                                                                                           : 16;
}

INT_PTR ShowDisplaySettings(SaverApp& app, HWND owner) {
  DisplaySettingsDialog dialog;
  dialog.app = &app;
  const int templateId = app.Adapters().size() < 2 || app.SingleScreen()
                             ? IDD_DISPLAY_SETTINGS_SINGLE
                             : IDD_DISPLAY_SETTINGS_MULTI;
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), owner,
                         DisplaySettingsProc, reinterpret_cast<LPARAM>(&dialog));
}
