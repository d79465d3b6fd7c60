#include "config/select_pictures_dialog.h"

#include <commctrl.h>
#include <cderr.h>
#include <commdlg.h>

#include <cstdio>
#include <cstring>
#include <utility>

#include "base/dpi.h"
#include "config/dialog_scale.h"
#include "config/dialog_seams.h"
#include "config/picture_folder.h"
#include "config/picture_preview.h"
#include "config/preview_loader.h"
#include "resources/dialog_ids.h"
#include "show/show_state.h"

namespace {

constexpr DWORD kAddFilesFlags =
    OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
constexpr DWORD kLoadListFlags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
// A save dialog must take a name that does not exist yet, and asks before replacing a file.
constexpr DWORD kSaveListFlags =
    OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
constexpr size_t kFileBufferSize = 16384;
// Growing the name buffer stops here; the dialog cannot return more than this anyway.
constexpr size_t kMaxFileBufferSize = 8u << 20;
constexpr char kListFilter[] = "Tessaline List (*.tsl);\0*.tsl;\0";
constexpr size_t kMaxPathText = sizeof(PictureEntry::path) - 1;

struct SelectPicturesDialog {
  explicit SelectPicturesDialog(ShowState& edited)
      : state(edited), pictures(edited.PictureList), selected(edited.selectedPictureIndex) {}
  ShowState& state;  // the configuration dialog's copy
  std::vector<PictureEntry>& pictures;
  int& selected;  // entry previewed, -1 for none
  HWND window = nullptr;
  HWND list = nullptr;
  HWND previewButton = nullptr;
  DialogScale scale;  // its DPI is the one the columns' widths were set for
  PreviewPicture preview;
  PreviewLoader loader;
  bool unreadable = false;  // the previewed file is no picture anything here reads
};

// Posted by the preview loader when a decode is done; wParam is its generation.
constexpr UINT kPreviewReady = WM_APP + 1;

// One run of the open or save dialog. buffer receives the chosen names; title the file
// title. On a buffer too small for the chosen names the buffer grows and the user is asked
// again, so no chosen file is lost.
bool RunFileDialog(SelectPicturesDialog& dialog, FileDialogFn run, DWORD flags,
                   const char* filter, DWORD filterIndex, const char* defaultExtension,
                   std::vector<char>& buffer, char (&title)[260]) {
  buffer.assign(kFileBufferSize, '\0');
  for (;;) {
    OPENFILENAMEA names = {};
    names.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    names.hwndOwner = dialog.window;
    names.lpstrFilter = filter;
    names.nFilterIndex = filterIndex;
    names.lpstrFile = buffer.data();
    names.nMaxFile = static_cast<DWORD>(buffer.size());
    title[0] = '\0';
    names.lpstrFileTitle = title;
    names.nMaxFileTitle = sizeof title;
    names.lpstrInitialDir = "";
    names.lpstrDefExt = defaultExtension;
    names.Flags = flags;
    if (run(&names)) return true;
    if (g_fileDialogError() != FNERR_BUFFERTOOSMALL || buffer.size() >= kMaxFileBufferSize) {
      return false;
    }
    // The first two bytes hold the size needed (a WORD, so it may be cut short: grow at
    // least twofold).
    unsigned char low = static_cast<unsigned char>(buffer[0]);
    unsigned char high = static_cast<unsigned char>(buffer[1]);
    size_t needed = static_cast<size_t>(low | (high << 8)) + 2;
    size_t grown = buffer.size() * 2;
    if (needed > grown) grown = needed;
    if (grown > kMaxFileBufferSize) grown = kMaxFileBufferSize;
    buffer.assign(grown, '\0');
  }
}

void UpdateSizeLabel(SelectPicturesDialog& dialog) {
  char text[64];
  if (dialog.preview.pixelWidth > 0) {
    std::snprintf(text, sizeof text, "Image Size: %dx%d",
                  static_cast<int>(dialog.preview.pixelWidth),
                  static_cast<int>(dialog.preview.pixelHeight));
  } else {
    std::snprintf(text, sizeof text, "Image Size: N/A");
  }
  SetDlgItemTextA(dialog.window, IDC_SP_SIZE, text);
  HWND label = GetDlgItem(dialog.window, IDC_SP_SIZE);
  InvalidateRect(label, nullptr, TRUE);
  UpdateWindow(label);
}

void DrawPreview(SelectPicturesDialog& dialog, HDC dc) {
  if (dialog.preview.Held()) {
    dialog.preview.DrawFitted(dialog.previewButton, dc);
  } else if (dialog.unreadable) {
    DrawUnreadablePicture(dialog.previewButton, dc);
  } else if (dialog.preview.pixelWidth > 0) {  // still decoding: black, not the last picture
    RECT client;
    GetClientRect(dialog.previewButton, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  } else {
    DrawNoPictures(dialog.previewButton, dc, BLACK_BRUSH);
  }
}

void RedrawPreview(SelectPicturesDialog& dialog) {
  HDC dc = GetDC(dialog.previewButton);
  if (dc != nullptr) {
    DrawPreview(dialog, dc);
    ReleaseDC(dialog.previewButton, dc);
  }
  UpdateSizeLabel(dialog);
}

// The size label from the file's header at once; the picture follows from the loader.
void ShowPicture(SelectPicturesDialog& dialog, int index) {
  dialog.loader.Cancel();
  dialog.preview.Clear();
  dialog.unreadable = false;
  if (index >= 0 && static_cast<size_t>(index) < dialog.pictures.size()) {
    const char* path = dialog.pictures[index].path;
    RECT box;
    if (FAILED(dialog.preview.Probe(path))) {
      dialog.unreadable = true;
    } else if (GetClientRect(dialog.previewButton, &box)) {
      dialog.loader.Request(path, box.right, box.bottom, dialog.window, kPreviewReady);
    }
  }
  RedrawPreview(dialog);
}

void OnPreviewReady(SelectPicturesDialog& dialog, uint32_t generation) {
  PreviewPicture decoded;
  HRESULT hr = S_OK;
  if (!dialog.loader.Take(generation, decoded, hr)) return;  // a newer one is on its way
  dialog.unreadable = FAILED(hr);
  dialog.preview = std::move(decoded);
  RedrawPreview(dialog);
}

void ShowNone(SelectPicturesDialog& dialog) {
  dialog.loader.Cancel();
  dialog.unreadable = false;
  dialog.preview.Clear();
  RedrawPreview(dialog);
}

void MarkRow(SelectPicturesDialog& dialog, int row) {
  const UINT state = LVIS_SELECTED | LVIS_FOCUSED;
  ListView_SetItemState(dialog.list, row, state, state);
}

void Refill(SelectPicturesDialog& dialog) {
  // Drawn once at the end, not after every row: a folder can bring thousands.
  SendMessageA(dialog.list, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(dialog.list);
  ListView_SetItemCount(dialog.list, static_cast<int>(dialog.pictures.size()));
  for (size_t i = 0; i < dialog.pictures.size(); ++i) {
    char number[16];
    std::snprintf(number, sizeof number, "%u", static_cast<unsigned>(i + 1));
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = number;
    const int row = static_cast<int>(
        SendMessageA(dialog.list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) continue;
    ListView_SetItemText(dialog.list, row, 1, dialog.pictures[i].name);
    ListView_SetItemText(dialog.list, row, 2, dialog.pictures[i].path);
  }
  SendMessageA(dialog.list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(dialog.list, nullptr, TRUE);
}

void SelectFirst(SelectPicturesDialog& dialog) {
  if (dialog.pictures.empty()) return;
  dialog.selected = 0;
  MarkRow(dialog, 0);
  ShowPicture(dialog, 0);
}

// At least `width` pixels at 96 DPI (more in proportion at the list's DPI), wider where the
// header text needs it: a larger system font would otherwise cut "Index" to "In...".
void InsertColumn(HWND list, const char* title, int width, int subItem) {
  const int dpi = DpiForWindow(list);
  width = ScaleForDpi(width, dpi);
  const int headerPadding = ScaleForDpi(16, dpi);  // the header's margins around the text
  const int needed = static_cast<int>(SendMessageA(list, LVM_GETSTRINGWIDTHA, 0,
                                                   reinterpret_cast<LPARAM>(title))) +
                     headerPadding;
  LVCOLUMNA column = {};
  column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.fmt = LVCFMT_LEFT;
  column.cx = needed > width ? needed : width;
  column.pszText = const_cast<char*>(title);
  column.iSubItem = subItem;
  SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
}

// The columns keep their share of the list on a monitor of another scale.
void RescaleColumns(SelectPicturesDialog& dialog, int newDpi) {
  const int oldDpi = dialog.scale.dpi();
  if (newDpi <= 0 || oldDpi <= 0 || newDpi == oldDpi) return;
  for (int column = 0; column < 3; ++column) {
    const int width = static_cast<int>(SendMessageA(dialog.list, LVM_GETCOLUMNWIDTH, column, 0));
    SendMessageA(dialog.list, LVM_SETCOLUMNWIDTH, column,
                 MAKELPARAM(MulDiv(width, newDpi, oldDpi), 0));
  }
}

void OnInit(SelectPicturesDialog& dialog) {
  dialog.list = GetDlgItem(dialog.window, IDC_SP_LIST);
  dialog.scale.Start(dialog.window);
  ListView_SetExtendedListViewStyle(dialog.list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  InsertColumn(dialog.list, "Picture Path", 300, 2);
  InsertColumn(dialog.list, "Name", 70, 1);
  InsertColumn(dialog.list, "Index", 40, 0);
  dialog.previewButton = GetDlgItem(dialog.window, IDC_SP_PREVIEW);
  SendMessageA(dialog.window, WM_COMMAND, IDC_SP_REFILL, 0);
  SendMessageA(dialog.window, WM_COMMAND, IDC_SP_SELECT_FIRST, 0);
}

// After pictures were appended: the last one selected, shown and scrolled into view.
void ShowAdded(SelectPicturesDialog& dialog, bool skipped) {
  const int last = static_cast<int>(dialog.pictures.size()) - 1;
  dialog.selected = last;
  ShowPicture(dialog, last);
  Refill(dialog);
  if (last >= 0) {
    MarkRow(dialog, last);
    ListView_EnsureVisible(dialog.list, last, FALSE);
  }
  if (skipped) ShowDialogMessage(dialog.window, IDS_PATHS_TOO_LONG, MB_ICONWARNING);
}

void AddFiles(SelectPicturesDialog& dialog) {
  std::vector<char> buffer;
  char title[260];
  const std::string filter = PictureFilter();
  if (!RunFileDialog(dialog, g_getOpenFileName, kAddFilesFlags, filter.c_str(), 1, nullptr,
                     buffer, title)) {
    Refill(dialog);
    return;
  }
  const ChosenFiles chosen = SplitChosenFiles(buffer.data(), buffer.size());
  bool skipped = false;
  if (chosen.names.empty()) {
    if (chosen.first.size() <= kMaxPathText) {
      dialog.pictures.push_back(MakePictureEntry(title, chosen.first.c_str()));
    } else {
      skipped = true;
    }
  } else {
    for (const std::string& name : chosen.names) {
      const std::string path = JoinPath(chosen.first, name);
      // A cut path would name another file or none: leave such a file out and say so.
      if (path.size() > kMaxPathText) {
        skipped = true;
        continue;
      }
      dialog.pictures.push_back(MakePictureEntry(name.c_str(), path.c_str()));
    }
  }
  ShowAdded(dialog, skipped);
}

// A folder chosen by the user, or false when the user cancelled.
bool ChooseFolder(SelectPicturesDialog& dialog, std::wstring& folder) {
  WCHAR prompt[200];
  if (LoadStringW(GetModuleHandleW(nullptr), IDS_CHOOSE_PICTURE_FOLDER, prompt, 200) <= 0) {
    prompt[0] = L'\0';
  }
  BROWSEINFOW browse = {};
  browse.hwndOwner = dialog.window;
  browse.lpszTitle = prompt;
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;
  PIDLIST_ABSOLUTE chosen = g_browseForFolder(&browse);
  if (chosen == nullptr) return false;
  WCHAR path[MAX_PATH];
  const bool found = SHGetPathFromIDListW(chosen, path) != FALSE;
  CoTaskMemFree(chosen);
  if (found) folder = path;
  return found;
}

void AddFolder(SelectPicturesDialog& dialog) {
  std::wstring folder;
  if (!ChooseFolder(dialog, folder)) return;
  // SetCursor holds until the next mouse message, and none is handled until the work is done.
  HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  const FolderPictures found = FindFolderPictures(folder);
  dialog.pictures.insert(dialog.pictures.end(), found.entries.begin(), found.entries.end());
  if (!found.entries.empty()) ShowAdded(dialog, false);
  SetCursor(previous);
  if (found.refused > 0) {
    ShowDialogMessage(dialog.window, IDS_PATHS_TOO_LONG, MB_ICONWARNING);
  } else if (found.entries.empty()) {
    ShowDialogMessage(dialog.window, IDS_FOLDER_HOLDS_NO_PICTURES, MB_ICONINFORMATION);
  }
}

void RemoveSelected(SelectPicturesDialog& dialog) {
  if (dialog.selected == -1) return;
  if (dialog.pictures.empty() || dialog.selected < 0 ||
      static_cast<size_t>(dialog.selected) >= dialog.pictures.size()) {
    dialog.selected = -1;
    return;
  }
  dialog.pictures.erase(dialog.pictures.begin() + dialog.selected);
  Refill(dialog);
  if (dialog.pictures.empty()) {
    dialog.selected = -1;
    ShowNone(dialog);
    return;
  }
  MarkRow(dialog, 0);
  dialog.selected = 0;
  ShowPicture(dialog, 0);
}

void ClearAll(SelectPicturesDialog& dialog) {
  dialog.selected = -1;
  if (dialog.pictures.empty()) return;
  ListView_DeleteAllItems(dialog.list);
  dialog.pictures.clear();
  ShowNone(dialog);
}

// The chosen list replaces the dialog's only when the whole file could be read.
void LoadList(SelectPicturesDialog& dialog) {
  std::vector<char> buffer;
  char title[260];
  if (!RunFileDialog(dialog, g_getOpenFileName, kLoadListFlags, kListFilter, 0, nullptr, buffer,
                     title)) {
    Refill(dialog);
    return;
  }
  std::vector<PictureEntry> loaded;
  size_t refused = 0;
  if (!ReadPictureListFile(buffer.data(), loaded, &refused)) {
    ShowDialogMessage(dialog.window, IDS_LIST_FILE_NOT_READ, MB_ICONERROR);
    return;
  }
  ClearAll(dialog);
  dialog.pictures = std::move(loaded);
  Refill(dialog);
  if (dialog.pictures.empty()) {
    dialog.selected = -1;
    ShowNone(dialog);
  } else {
    dialog.selected = 0;
    ShowPicture(dialog, 0);
    MarkRow(dialog, 0);
  }
  if (refused > 0) ShowDialogMessage(dialog.window, IDS_PATHS_TOO_LONG, MB_ICONWARNING);
}

void SaveList(SelectPicturesDialog& dialog) {
  std::vector<char> buffer;
  char title[260];
  if (!RunFileDialog(dialog, g_getSaveFileName, kSaveListFlags, kListFilter, 0, "tsl", buffer,
                     title)) {
    Refill(dialog);
    return;
  }
  if (!SavePictureList(dialog.state.InstallDir, buffer.data(), dialog.pictures)) {
    ShowDialogMessage(dialog.window, IDS_LIST_FILE_NOT_SAVED, MB_ICONERROR);
  }
}

void OnOk(SelectPicturesDialog& dialog) {
  if (!SavePictureList(dialog.state.InstallDir, nullptr, dialog.pictures)) {
    ShowDialogMessage(dialog.window, IDS_PICTURES_NOT_SAVED, MB_ICONERROR);
  }
  dialog.loader.Cancel();
  dialog.preview.Clear();
  EndDialog(dialog.window, 1);
}

bool OnCommand(SelectPicturesDialog& dialog, int id) {
  switch (id) {
    case IDC_SP_REFILL:
      Refill(dialog);
      return true;
    case IDC_SP_SELECT_FIRST:
      SelectFirst(dialog);
      return true;
    case IDC_SP_ADD:
      AddFiles(dialog);
      return true;
    case IDC_SP_ADD_FOLDER:
      AddFolder(dialog);
      return true;
    case IDC_SP_REMOVE:
      RemoveSelected(dialog);
      return true;
    case IDC_SP_CLEAR:
      ClearAll(dialog);
      return true;
    case IDC_SP_LOAD_LIST:
      LoadList(dialog);
      return true;
    case IDC_SP_SAVE_LIST:
      SaveList(dialog);
      return true;
    case IDOK:
      OnOk(dialog);
      return true;
    case IDCANCEL:
      return true;  // no way out but OK: every closing saves the list
    default:
      return false;
  }
}

void OnItemChanged(SelectPicturesDialog& dialog, const NMLISTVIEW& change) {
  if (change.iItem < 0 || !(change.uNewState & LVIS_SELECTED)) return;
  if (change.iItem == dialog.selected) return;
  dialog.selected = change.iItem;
  ShowPicture(dialog, change.iItem);
}

INT_PTR CALLBACK SelectPicturesProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* dialog = reinterpret_cast<SelectPicturesDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      dialog = reinterpret_cast<SelectPicturesDialog*>(lParam);
      SetWindowLongPtrA(window, DWLP_USER, lParam);
      dialog->window = window;
      OnInit(*dialog);
      return TRUE;
    case WM_COMMAND:
      return dialog != nullptr && OnCommand(*dialog, LOWORD(wParam));
    case kPreviewReady:
      if (dialog != nullptr) OnPreviewReady(*dialog, static_cast<uint32_t>(wParam));
      return TRUE;
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
      if (dialog != nullptr && header->idFrom == IDC_SP_LIST && header->code == LVN_ITEMCHANGED) {
        OnItemChanged(*dialog, *reinterpret_cast<const NMLISTVIEW*>(lParam));
        return TRUE;
      }
      return FALSE;
    }
    case WM_DPICHANGED:
      if (dialog != nullptr) {
        RescaleColumns(*dialog, LOWORD(wParam));
        dialog->scale.Follow(window, wParam, lParam);
      }
      return FALSE;
    case WM_DRAWITEM: {
      const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (dialog == nullptr || item->CtlID != IDC_SP_PREVIEW) return FALSE;
      DrawPreview(*dialog, item->hDC);
      UpdateSizeLabel(*dialog);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

ChosenFiles SplitChosenFiles(const char* buffer, size_t size) {
  ChosenFiles chosen;
  size_t at = 0;
  bool first = true;
  while (at < size && buffer[at] != '\0') {
    size_t end = at;
    while (end < size && buffer[end] != '\0') ++end;
    std::string segment(buffer + at, end - at);
    if (first) {
      chosen.first = std::move(segment);
      first = false;
    } else {
      chosen.names.push_back(std::move(segment));
    }
    at = end + 1;
  }
  return chosen;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '\\') return folder + name;
  return folder + "\\" + name;
}

INT_PTR RunSelectPicturesDialog(HWND owner, ShowState& state) {
  SelectPicturesDialog dialog(state);
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SELECT_PICTURES), owner,
                         SelectPicturesProc, reinterpret_cast<LPARAM>(&dialog));
}
