#include "config/select_pictures_dialog.h"

#include <gtest/gtest.h>
#include <cderr.h>
#include <commctrl.h>
#include <commdlg.h>

#include <objbase.h>

#include <cstdio>
#include <cstring>

#include "base/text_encoding.h"
#include "config/config_fixture.h"
#include "config/dialog_seams.h"
#include "config/modal_script.h"
#include "resources/dialog_ids.h"
#include "show/picture_list.h"
#include "show/show_settings.h"

using testing_support::Click;
using testing_support::DialogStep;
using testing_support::ItemText;
using testing_support::MessageBoxRecorder;
using testing_support::ReadFileBytes;
using testing_support::RunModal;
using testing_support::ScratchInstall;
using testing_support::WriteBmp;
using testing_support::WriteFileBytes;

namespace {

// What the fake open/save dialog answers: the names buffer (NULs included) and the title.
struct FileAnswer {
  std::string names;  // without the final extra NUL
  std::string title;
  bool ok = true;
};
std::vector<FileAnswer> answers;
std::vector<OPENFILENAMEA> requests;
std::vector<std::string> filters;
DWORD lastError = 0;

BOOL WINAPI AnswerFileDialog(LPOPENFILENAMEA names) {
  requests.push_back(*names);
  const char* f = names->lpstrFilter;
  std::string filter;
  while (f != nullptr && *f != '\0') {
    filter += f;
    filter += '|';
    f += std::strlen(f) + 1;
  }
  filters.push_back(filter);
  if (answers.empty()) return FALSE;
  FileAnswer answer = answers.front();
  answers.erase(answers.begin());
  lastError = 0;
  if (!answer.ok) return FALSE;
  if (answer.names.size() + 2 > names->nMaxFile) {
    // The real dialog writes the size it needs into the first two bytes.
    const size_t needed = answer.names.size() + 2;
    names->lpstrFile[0] = static_cast<char>(needed & 0xff);
    names->lpstrFile[1] = static_cast<char>((needed >> 8) & 0xff);
    lastError = FNERR_BUFFERTOOSMALL;
    answers.insert(answers.begin(), answer);
    return FALSE;
  }
  std::memcpy(names->lpstrFile, answer.names.data(), answer.names.size());
  names->lpstrFile[answer.names.size()] = '\0';
  names->lpstrFile[answer.names.size() + 1] = '\0';
  if (names->lpstrFileTitle != nullptr) {
    std::snprintf(names->lpstrFileTitle, names->nMaxFileTitle, "%s", answer.title.c_str());
  }
  return TRUE;
}

DWORD WINAPI AnswerError() { return lastError; }

// What the fake folder chooser answers; empty: the user cancels.
std::string chosenFolder;
PIDLIST_ABSOLUTE WINAPI AnswerFolder(LPBROWSEINFOW) {
  if (chosenFolder.empty()) return nullptr;
  return ILCreateFromPathW(ProgramToWide(chosenFolder).c_str());
}

// A cell as the list view shows it, in UTF-16: text set through the "A" calls must have been
// taken as UTF-8.
std::wstring WideCell(HWND dialog, int row, int column) {
  wchar_t text[512] = {};
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 512;
  SendMessageW(GetDlgItem(dialog, IDC_SP_LIST), LVM_GETITEMTEXTW, row,
               reinterpret_cast<LPARAM>(&item));
  return text;
}

std::string Cell(HWND dialog, int row, int column) {
  char text[512] = {};
  ListView_GetItemText(GetDlgItem(dialog, IDC_SP_LIST), row, column, text, sizeof text);
  return text;
}
int Rows(HWND dialog) { return ListView_GetItemCount(GetDlgItem(dialog, IDC_SP_LIST)); }
int SelectedRow(HWND dialog) {
  return ListView_GetNextItem(GetDlgItem(dialog, IDC_SP_LIST), -1, LVNI_SELECTED);
}

class SelectPicturesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    g_getOpenFileName = AnswerFileDialog;
    g_getSaveFileName = AnswerFileDialog;
    g_fileDialogError = AnswerError;
    g_browseForFolder = AnswerFolder;
    answers.clear();
    requests.clear();
    filters.clear();
    pictures = install.root() + "\\pics";
    CreateDirectoryA(pictures.c_str(), nullptr);
    WriteBmp(pictures + "\\a.bmp", 40, 30, 0, 0, 0xff0000);
    WriteBmp(pictures + "\\b.bmp", 20, 50, 0, 0, 0x00ff00);
    WriteBmp(pictures + "\\c.bmp", 8, 8, 0, 0, 0x0000ff);
  }
  void TearDown() override {
    g_getOpenFileName = GetOpenFileNameA;
    g_getSaveFileName = GetSaveFileNameA;
    g_fileDialogError = CommDlgExtendedError;
    g_browseForFolder = SHBrowseForFolderW;
    CoUninitialize();
  }
  INT_PTR Run(std::vector<DialogStep> steps) {
    return RunModal([this] { return RunSelectPicturesDialog(nullptr, state); }, std::move(steps));
  }
  void Add(const std::string& name) {
    state.PictureList.push_back(MakePictureEntry(name.c_str(), (pictures + "\\" + name).c_str()));
  }
  std::string DefaultList() const { return ReadFileBytes(install.root() + "\\picsavelist.tsl"); }

  ScratchInstall install;
  ShowState state = InstalledState(install);
  std::string pictures;
};

}  // namespace

TEST(ChosenFiles, SplitsFolderAndNames) {
  const char several[] = "C:\\pics\0a.jpg\0b.bmp\0";
  ChosenFiles chosen = SplitChosenFiles(several, sizeof several);
  EXPECT_EQ(chosen.first, "C:\\pics");
  ASSERT_EQ(chosen.names.size(), 2u);
  EXPECT_EQ(chosen.names[1], "b.bmp");
  const char one[] = "C:\\pics\\a.jpg\0\0junk";
  chosen = SplitChosenFiles(one, sizeof one);
  EXPECT_EQ(chosen.first, "C:\\pics\\a.jpg");
  EXPECT_TRUE(chosen.names.empty());
  const char unterminated[3] = {'a', 'b', 'c'};
  EXPECT_EQ(SplitChosenFiles(unterminated, 3).first, "abc");
  EXPECT_EQ(JoinPath("C:\\", "a.jpg"), "C:\\a.jpg");
  EXPECT_EQ(JoinPath("C:\\pics", "a.jpg"), "C:\\pics\\a.jpg");
}

TEST_F(SelectPicturesTest, OpeningWithAnEmptyListShowsNoPictures) {
  const INT_PTR result = Run({[this](HWND dialog) {
    EXPECT_EQ(Rows(dialog), 0);
    EXPECT_EQ(ItemText(dialog, IDC_SP_SIZE), "Image Size: N/A");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_SP_REFILL)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_SP_SELECT_FIRST)));
    Click(dialog, IDOK);
  }});
  EXPECT_EQ(result, 1);
  EXPECT_EQ(DefaultList(), "");
}

TEST_F(SelectPicturesTest, OpeningSelectsAndPreviewsTheFirstEntry) {
  Add("a.bmp");
  Add("b.bmp");
  Run({[this](HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_SP_LIST);
    EXPECT_EQ(Rows(dialog), 2);
    EXPECT_EQ(SelectedRow(dialog), 0);
    EXPECT_EQ(state.selectedPictureIndex, 0);
    EXPECT_EQ(ItemText(dialog, IDC_SP_SIZE), "Image Size: 40x30");
    char title[64] = {};
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = title;
    column.cchTextMax = sizeof title;
    ListView_GetColumn(list, 0, &column);
    EXPECT_STREQ(title, "Index");
    // 40 pixels, or wider where the font needs it: the header is never cut.
    EXPECT_GE(column.cx, 40);
    EXPECT_GE(column.cx, ListView_GetStringWidth(list, "Index") + 12);
    ListView_GetColumn(list, 2, &column);
    EXPECT_STREQ(title, "Picture Path");
    EXPECT_EQ(column.cx, 300);
    EXPECT_EQ(ListView_GetExtendedListViewStyle(list) & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT),
              static_cast<DWORD>(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
    // Choosing another row previews it.
    ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(state.selectedPictureIndex, 1);
    EXPECT_EQ(ItemText(dialog, IDC_SP_SIZE), "Image Size: 20x50");
    Click(dialog, IDOK);
  }});
}

TEST_F(SelectPicturesTest, AddingOneFileNamesItByItsTitle) {
  answers.push_back({pictures + "\\a.bmp", "a.bmp"});
  Run({[this](HWND dialog) {
    Click(dialog, IDC_SP_ADD);
    EXPECT_EQ(Rows(dialog), 1);
    EXPECT_EQ(Cell(dialog, 0, 0), "1");
    EXPECT_EQ(Cell(dialog, 0, 1), "a.bmp");
    EXPECT_EQ(SelectedRow(dialog), 0);
    EXPECT_EQ(ItemText(dialog, IDC_SP_SIZE), "Image Size: 40x30");
    Click(dialog, IDOK);
  }});
  ASSERT_EQ(state.PictureList.size(), 1u);
  EXPECT_STREQ(state.PictureList[0].name, "a.bmp");
  EXPECT_EQ(state.PictureList[0].path, pictures + "\\a.bmp");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Flags, 0x81204u);
  EXPECT_EQ(requests[0].nMaxFile, 16384u);
  EXPECT_EQ(requests[0].nMaxFileTitle, 260u);
  EXPECT_EQ(requests[0].nFilterIndex, 1u);
  // All pictures first, with the system's GIF codec; then the entries of old.
  EXPECT_EQ(filters[0].rfind("All pictures|*.jpg;*.jpeg;", 0), 0u) << filters[0];
  for (const char* part : {";*.webp;", ";*.gif;",
                           "|(*.jpg;*.bmp;*.png;)|*.jpg;*.bmp;*.png;|(*.jpg)|*.jpg|(*.bmp)|*.bmp|"
                           "(*.png)|*.png|WebP (*.webp)|*.webp|"}) {
    EXPECT_NE(filters[0].find(part), std::string::npos) << part << " in " << filters[0];
  }
}

TEST_F(SelectPicturesTest, AddingThreeFilesOfOneFolderAppendsNumberedRows) {
  Add("c.bmp");
  answers.push_back({pictures + std::string("\0a.bmp\0b.bmp\0c.bmp", 18), "ignored"});
  Run({[this](HWND dialog) {
    Click(dialog, IDC_SP_ADD);
    ASSERT_EQ(Rows(dialog), 4);
    EXPECT_EQ(Cell(dialog, 1, 0), "2");
    EXPECT_EQ(Cell(dialog, 3, 0), "4");
    EXPECT_EQ(Cell(dialog, 1, 1), "a.bmp");
    EXPECT_EQ(Cell(dialog, 2, 2), pictures + "\\b.bmp");
    EXPECT_EQ(SelectedRow(dialog), 3);
    EXPECT_EQ(state.selectedPictureIndex, 3);
    EXPECT_EQ(ItemText(dialog, IDC_SP_SIZE), "Image Size: 8x8");
    Click(dialog, IDOK);
  }});
  ASSERT_EQ(state.PictureList.size(), 4u);
  EXPECT_EQ(state.PictureList[3].path, pictures + "\\c.bmp");
}

TEST_F(SelectPicturesTest, EveryChosenFileIsTakenWhenTheBufferIsTooSmall) {
  std::string names = pictures;
  // More than 256 names, and more text than the first buffer holds.
  for (int i = 0; i < 600; ++i) {
    names += std::string(1, '\0') + "a_picture_with_a_longer_name_" + std::to_string(i) + ".jpg";
  }
  answers.push_back({names, ""});
  Run({[this](HWND dialog) {
    Click(dialog, IDC_SP_ADD);
    EXPECT_EQ(Rows(dialog), 600);
    EXPECT_EQ(SelectedRow(dialog), 599);
    Click(dialog, IDOK);
  }});
  ASSERT_EQ(state.PictureList.size(), 600u);
  EXPECT_STREQ(state.PictureList[599].name, "a_picture_with_a_longer_name_599.jpg");
  ASSERT_GT(names.size(), 16384u);
  ASSERT_EQ(requests.size(), 2u);  // asked again with room for every name
  EXPECT_GT(requests[1].nMaxFile, names.size());
}

TEST_F(SelectPicturesTest, PathsTooLongForTheListAreLeftOutAndReported) {
  const std::string longName = std::string(250, 'x') + ".jpg";
  answers.push_back(
      {pictures + std::string(1, '\0') + "a.bmp" + std::string(1, '\0') + longName, ""});
  MessageBoxRecorder boxes;
  Run({[this](HWND dialog) {
    Click(dialog, IDC_SP_ADD);
    EXPECT_EQ(Rows(dialog), 1);
    Click(dialog, IDOK);
  }});
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_NE(boxes.boxes()[0].text.find("longer than 255"), std::string::npos);
}

TEST_F(SelectPicturesTest, CancelledAddChangesNothing) {
  Add("a.bmp");
  answers.push_back({"", "", false});
  Run({[this](HWND dialog) {
    Click(dialog, IDC_SP_ADD);
    EXPECT_EQ(Rows(dialog), 1);
    EXPECT_EQ(state.selectedPictureIndex, 0);
    Click(dialog, IDOK);
  }});
  EXPECT_EQ(state.PictureList.size(), 1u);
}

TEST_F(SelectPicturesTest, RemovingTheMiddleEntryRenumbersAndSelectsTheFirstRow) {
  Add("a.bmp");
  Add("b.bmp");
  Add("c.bmp");
  Run({[this](HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_SP_LIST);
    ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ASSERT_EQ(state.selectedPictureIndex, 1);
    Click(dialog, IDC_SP_REMOVE);
    ASSERT_EQ(Rows(dialog), 2);
    EXPECT_EQ(Cell(dialog, 0, 0), "1");
    EXPECT_EQ(Cell(dialog, 1, 0), "2");
    EXPECT_EQ(Cell(dialog, 1, 1), "c.bmp");
    EXPECT_EQ(SelectedRow(dialog), 0);
    EXPECT_EQ(state.selectedPictureIndex, 0);
    EXPECT_EQ(ItemText(dialog, IDC_SP_SIZE), "Image Size: 40x30");
    Click(dialog, IDOK);
  }});
  ASSERT_EQ(state.PictureList.size(), 2u);
  EXPECT_STREQ(state.PictureList[1].name, "c.bmp");
}

TEST_F(SelectPicturesTest, RemovingTheOnlyEntryShowsNoPictures) {
  Add("a.bmp");
  Run({[this](HWND dialog) {
         Click(dialog, IDC_SP_REMOVE);
         EXPECT_EQ(Rows(dialog), 0);
         EXPECT_EQ(state.selectedPictureIndex, -1);
         EXPECT_EQ(ItemText(dialog, IDC_SP_SIZE), "Image Size: N/A");
         Click(dialog, IDC_SP_REMOVE);  // nothing left: nothing happens
         EXPECT_EQ(Rows(dialog), 0);
       },
       [](HWND dialog) {
         // The preview button is black with the white "no pictures" text.
         HWND button = GetDlgItem(dialog, IDC_SP_PREVIEW);
         RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
         HDC dc = GetDC(button);
         RECT client;
         GetClientRect(button, &client);
         EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0, 0, 0));
         int white = 0;
         for (int y = client.bottom / 2 - 6; y < client.bottom / 2 + 6; ++y) {
           for (int x = 0; x < client.right; ++x) white += GetPixel(dc, x, y) == RGB(255, 255, 255);
         }
         ReleaseDC(button, dc);
         EXPECT_GT(white, 10);
         Click(dialog, IDOK);
       }});
  EXPECT_TRUE(state.PictureList.empty());
}

TEST_F(SelectPicturesTest, ClearAllEmptiesTheList) {
  Add("a.bmp");
  Add("b.bmp");
  Run({[this](HWND dialog) {
    Click(dialog, IDC_SP_CLEAR);
    EXPECT_EQ(Rows(dialog), 0);
    EXPECT_EQ(ItemText(dialog, IDC_SP_SIZE), "Image Size: N/A");
    Click(dialog, IDOK);
  }});
  EXPECT_TRUE(state.PictureList.empty());
}

TEST_F(SelectPicturesTest, LoadListThenOkMakesItTheDefaultList) {
  Add("c.bmp");
  const std::string listFile = install.root() + "\\mine.tsl";
  const std::string text =
      "a.bmp\r\n" + pictures + "\\a.bmp\r\nb.bmp\r\n" + pictures + "\\b.bmp\r\n";
  WriteFileBytes(listFile, text);
  answers.push_back({listFile, "mine.tsl"});
  Run({[this](HWND dialog) {
    Click(dialog, IDC_SP_LOAD_LIST);
    EXPECT_EQ(Rows(dialog), 2);
    EXPECT_EQ(Cell(dialog, 1, 1), "b.bmp");
    EXPECT_EQ(SelectedRow(dialog), 0);
    EXPECT_EQ(ItemText(dialog, IDC_SP_SIZE), "Image Size: 40x30");
    Click(dialog, IDOK);
  }});
  EXPECT_EQ(filters[0], "Tessaline List (*.tsl);|*.tsl;|");
  EXPECT_EQ(requests[0].nFilterIndex, 0u);
  EXPECT_EQ(requests[0].Flags & (OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST),
            static_cast<DWORD>(OFN_FILEMUSTEXIST));  // one file at a time
  EXPECT_EQ(DefaultList(), text);
}

TEST_F(SelectPicturesTest, AListThatCannotBeReadIsReportedAndChangesNothing) {
  Add("a.bmp");
  Add("b.bmp");
  const std::string folder = install.root() + "\\not-a-list.tsl";  // opens as no file does
  CreateDirectoryA(folder.c_str(), nullptr);
  answers.push_back({folder, "not-a-list.tsl"});
  MessageBoxRecorder boxes;
  Run({[this](HWND dialog) {
    ListView_SetItemState(GetDlgItem(dialog, IDC_SP_LIST), 1, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    Click(dialog, IDC_SP_LOAD_LIST);
    EXPECT_EQ(Rows(dialog), 2);
    EXPECT_EQ(state.selectedPictureIndex, 1);
    EXPECT_EQ(ItemText(dialog, IDC_SP_SIZE), "Image Size: 20x50");
    Click(dialog, IDOK);
  }});
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_NE(boxes.boxes()[0].text.find("could not be read"), std::string::npos);
  EXPECT_EQ(state.PictureList.size(), 2u);
  EXPECT_EQ(DefaultList(), "a.bmp\r\n" + pictures + "\\a.bmp\r\nb.bmp\r\n" + pictures +
                               "\\b.bmp\r\n");
}

TEST_F(SelectPicturesTest, LoadingAnEmptyListShowsNone) {
  Add("a.bmp");
  const std::string listFile = install.root() + "\\empty.tsl";
  WriteFileBytes(listFile, "");
  answers.push_back({listFile, "empty.tsl"});
  Run({[this](HWND dialog) {
    Click(dialog, IDC_SP_LOAD_LIST);
    EXPECT_EQ(Rows(dialog), 0);
    EXPECT_EQ(state.selectedPictureIndex, -1);
    EXPECT_EQ(ItemText(dialog, IDC_SP_SIZE), "Image Size: N/A");
    Click(dialog, IDOK);
  }});
}

TEST_F(SelectPicturesTest, SaveListWritesTheChosenFileOnly) {
  Add("a.bmp");
  const std::string listFile = install.root() + "\\saved.tsl";
  answers.push_back({listFile, "saved.tsl"});
  Run({[this](HWND dialog) {
    Click(dialog, IDC_SP_SAVE_LIST);
    EXPECT_EQ(Rows(dialog), 1);
    EXPECT_EQ(state.selectedPictureIndex, 0);
    Click(dialog, IDOK);
  }});
  EXPECT_STREQ(requests[0].lpstrDefExt, "tsl");
  // A new name must be accepted, and an existing file replaced only after asking.
  EXPECT_EQ(requests[0].Flags & (OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_OVERWRITEPROMPT |
                                 OFN_PATHMUSTEXIST),
            static_cast<DWORD>(OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST));
  EXPECT_EQ(ReadFileBytes(listFile), "a.bmp\r\n" + pictures + "\\a.bmp\r\n");
}

BOOL CALLBACK FindEdit(HWND child, LPARAM found) {
  char name[16] = {};
  GetClassNameA(child, name, sizeof name);
  if (lstrcmpiA(name, "Edit") == 0 && IsWindowVisible(child) && IsWindowEnabled(child)) {
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
  }
  return TRUE;
}

TEST_F(SelectPicturesTest, TheSystemSaveDialogTakesANewNameAndAsksBeforeReplacing) {
  g_getSaveFileName = GetSaveFileNameA;
  g_fileDialogError = CommDlgExtendedError;
  Add("a.bmp");
  const std::string typed = install.root() + "\\brand new";
  // The system's dialog: type the name where the user would, and press Save.
  const DialogStep typeAndSave = [&](HWND saveDialog) {
    HWND edit = nullptr;
    EnumChildWindows(saveDialog, FindEdit, reinterpret_cast<LPARAM>(&edit));
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, typed.c_str());
    PostMessageA(saveDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(saveDialog, IDOK)));
  };
  bool asked = false;
  Run({[this](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDC_SP_SAVE_LIST, 0); }, typeAndSave,
       [&](HWND dialog) {
         EXPECT_EQ(ReadFileBytes(typed + ".tsl"), "a.bmp\r\n" + pictures + "\\a.bmp\r\n");
         Add("b.bmp");
         PostMessageA(dialog, WM_COMMAND, IDC_SP_SAVE_LIST, 0);
       },
       typeAndSave,
       [&](HWND question) {
         asked = GetDlgItem(question, IDYES) != nullptr;
         SendMessageA(GetDlgItem(question, IDYES), BM_CLICK, 0, 0);
       },
       [](HWND dialog) { Click(dialog, IDOK); }});
  EXPECT_TRUE(asked);
  EXPECT_EQ(ReadFileBytes(typed + ".tsl"), "a.bmp\r\n" + pictures + "\\a.bmp\r\nb.bmp\r\n" +
                                               pictures + "\\b.bmp\r\n");
}

TEST_F(SelectPicturesTest, EscapeAndTheCloseBoxLeaveTheDialogOpen) {
  Add("a.bmp");
  const INT_PTR result = Run({[this](HWND dialog) {
                                HWND focus = GetDlgItem(dialog, IDC_SP_LIST);
                                SetFocus(focus);
                                PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0);
                                PostMessageA(focus, WM_KEYUP, VK_ESCAPE, 0);
                                PostMessageA(dialog, WM_CLOSE, 0, 0);
                                SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                              },
                              [](HWND dialog) {
                                EXPECT_TRUE(IsWindowVisible(dialog));
                                Click(dialog, IDOK);
                              }});
  EXPECT_EQ(result, 1);
}

TEST_F(SelectPicturesTest, ADefaultListThatCannotBeStoredAnywhereIsReported) {
  Add("a.bmp");
  // A folder in the list file's place, and a file in the per-user folder's place.
  CreateDirectoryA((install.root() + "\\picsavelist.tsl").c_str(), nullptr);
  WriteFileBytes(install.UserFolder(), "in the way");
  MessageBoxRecorder boxes;
  EXPECT_EQ(Run({[this](HWND dialog) { Click(dialog, IDOK); }}), 1);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_NE(boxes.boxes()[0].text.find("picture list could not be saved"), std::string::npos);
  RemoveDirectoryA((install.root() + "\\picsavelist.tsl").c_str());
  DeleteFileA(install.UserFolder().c_str());
}

TEST_F(SelectPicturesTest, AFileNamedInAnyScriptIsAddedShownSavedAndLoaded) {
  const std::string folder = install.root() + u8"\\Фото Ωμέγα 写真 🌄";
  const std::string picture = folder + u8"\\закат 🌄.bmp";
  const std::string listFile = folder + u8"\\списки 写真.tsl";
  CreateDirectoryA(folder.c_str(), nullptr);
  WriteBmp(picture, 40, 30, 0, 0, 0xff0000);
  answers.push_back({picture, u8"закат 🌄.bmp"});
  answers.push_back({listFile, ""});
  answers.push_back({listFile, ""});
  Run({[this](HWND dialog) {
    Click(dialog, IDC_SP_ADD);
    Click(dialog, IDC_SP_SAVE_LIST);
    Click(dialog, IDC_SP_CLEAR);
    Click(dialog, IDC_SP_LOAD_LIST);
    ASSERT_EQ(Rows(dialog), 1);
    EXPECT_EQ(WideCell(dialog, 0, 1), L"\u0437\u0430\u043a\u0430\u0442 \U0001F304.bmp");
    EXPECT_EQ(ItemText(dialog, IDC_SP_SIZE), "Image Size: 40x30");  // the preview opened it
    Click(dialog, IDOK);
  }});
  ASSERT_EQ(state.PictureList.size(), 1u);
  EXPECT_EQ(state.PictureList[0].path, picture);
  EXPECT_EQ(ReadFileBytes(listFile), u8"закат 🌄.bmp\r\n" + picture + "\r\n");
  EXPECT_TRUE(testing_support::ExistsUnderUtf8Name(listFile));
}

TEST_F(SelectPicturesTest, AddFolderAddsEveryPictureBelowItSortedByPath) {
  Add("c.bmp");
  chosenFolder = install.root() + u8"\\Фото 写真";
  for (const char* sub : {"", "\\a", u8"\\Ωμέγα"}) {
    CreateDirectoryA((chosenFolder + sub).c_str(), nullptr);
  }
  for (const char* name :
       {"Zeta.BMP", "a.jpeg", "a\\z.png", "a b.jpg", "notes.txt", "a\\IMG.xmp"}) {
    WriteBmp(chosenFolder + "\\" + name, 8, 8, 0, 0, 0xff);
  }
  WriteBmp(chosenFolder + u8"\\Ωμέγα\\🌄.jpg", 20, 50, 0, 0, 0xff);
  MessageBoxRecorder boxes;
  Run({[this](HWND dialog) {
    Click(dialog, IDC_SP_ADD_FOLDER);
    ASSERT_EQ(Rows(dialog), 6);
    EXPECT_EQ(Cell(dialog, 1, 2), chosenFolder + "\\a\\z.png");
    EXPECT_EQ(Cell(dialog, 2, 1), "a b.jpg");
    EXPECT_EQ(Cell(dialog, 3, 1), "a.jpeg");
    EXPECT_EQ(Cell(dialog, 4, 1), "Zeta.BMP");
    EXPECT_EQ(WideCell(dialog, 5, 1), L"\U0001F304.jpg");
    EXPECT_EQ(SelectedRow(dialog), 5);
    EXPECT_EQ(ItemText(dialog, IDC_SP_SIZE), "Image Size: 20x50");
    Click(dialog, IDOK);
  }});
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ(state.PictureList[5].path, chosenFolder + u8"\\Ωμέγα\\🌄.jpg");
}

TEST_F(SelectPicturesTest, AddFolderReportsPathsTooLongAndFoldersWithoutPictures) {
  const std::string empty = install.root() + "\\empty";
  CreateDirectoryA(empty.c_str(), nullptr);
  WriteFileBytes(empty + "\\notes.txt", "x");
  chosenFolder = install.root() + "\\deep";
  CreateDirectoryA(chosenFolder.c_str(), nullptr);
  std::string longName;  // 240 bytes, 120 characters
  for (int i = 0; i < 120; ++i) longName += u8"Ж";
  WriteBmp(chosenFolder + "\\" + longName + ".jpg", 8, 8, 0, 0, 0);
  WriteBmp(chosenFolder + "\\short.jpg", 8, 8, 0, 0, 0);
  MessageBoxRecorder boxes;
  Run({[&empty](HWND dialog) {
    Click(dialog, IDC_SP_ADD_FOLDER);
    EXPECT_EQ(Rows(dialog), 1);
    chosenFolder = empty;
    Click(dialog, IDC_SP_ADD_FOLDER);
    chosenFolder.clear();  // cancelled: nothing happens
    Click(dialog, IDC_SP_ADD_FOLDER);
    EXPECT_EQ(Rows(dialog), 1);
    Click(dialog, IDOK);
  }});
  ASSERT_EQ(boxes.boxes().size(), 2u);
  EXPECT_NE(boxes.boxes()[0].text.find("longer than 255"), std::string::npos);
  EXPECT_NE(boxes.boxes()[1].text.find("hold no JPEG, BMP or PNG"), std::string::npos);
}
