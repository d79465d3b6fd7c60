// Select Pictures' "Add Folder..." on a large photo folder: the click until the list view shows
// every picture, through the real dialog with the folder chooser answered.
//
//   folder_bench generate <folder> <pictures>   a tree of that many small pictures, 100 to a
//                                               subfolder, with sidecar files between them
//   folder_bench add <folder> <runs>            prints "<median ms> <peak MB above the start>
//                                               <pictures added>"
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/message_box.h"
#include "config/dialog_seams.h"
#include "config/select_pictures_dialog.h"
#include "resources/dialog_ids.h"
#include "show/picture_list.h"
#include "show/show_state.h"
#include "support/saver_process.h"

using testing_support::NowMs;

namespace {

std::wstring chosenFolder;
std::vector<double> times;
int boxes = 0;

SIZE_T PeakWorkingSet() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakWorkingSetSize;
}

std::wstring Wide(const char* text) {
  wchar_t wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide, MAX_PATH);
  return wide;
}

// A 2x2 24-bit BMP: the dialog previews the last picture added, so every file is a picture.
std::string TinyBmp() {
  const unsigned char header[54] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                    2,   0,   0,  0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0,  0, 0, 16, 0};
  std::string bytes(reinterpret_cast<const char*>(header), sizeof header);
  bytes.append(16, '\x80');
  return bytes;
}

bool WriteFile(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                              nullptr) && written == bytes.size();
  CloseHandle(file);
  return ok;
}

// Camera folders by year and event, as a photo collection grows.
int Generate(const std::wstring& top, long pictures) {
  CreateDirectoryW(top.c_str(), nullptr);
  const std::string picture = TinyBmp();
  const wchar_t* extensions[] = {L"jpg", L"JPG", L"png", L"bmp"};
  for (long i = 0; i < pictures; ++i) {
    wchar_t folder[128];
    std::swprintf(folder, 128, L"\\%ld", 2000 + (i / 100) % 25);
    std::wstring path = top + folder;
    CreateDirectoryW(path.c_str(), nullptr);
    std::swprintf(folder, 128, L"\\Holiday %03ld", i / 100);
    path += folder;
    CreateDirectoryW(path.c_str(), nullptr);
    wchar_t name[64];
    std::swprintf(name, 64, L"\\IMG_%06ld.%ls", i, extensions[i % 4]);
    if (!WriteFile(path + name, picture)) return 1;
    if (i % 10 == 0) {
      std::swprintf(name, 64, L"\\IMG_%06ld.xmp", i);
      if (!WriteFile(path + name, "<x/>")) return 1;
    }
  }
  return 0;
}

PIDLIST_ABSOLUTE WINAPI AnswerFolder(LPBROWSEINFOW) {
  return ILCreateFromPathW(chosenFolder.c_str());
}

int WINAPI CountBox(HWND, LPCSTR, LPCSTR, UINT) {
  ++boxes;
  return IDOK;
}

void CALLBACK Click(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = FindWindowA("#32770", "Select Pictures");
  if (dialog == nullptr) return;
  KillTimer(nullptr, timer);
  const double start = NowMs();
  SendMessageA(dialog, WM_COMMAND, IDC_SP_ADD_FOLDER, 0);
  times.push_back(NowMs() - start);
  EndDialog(dialog, 1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr,
                 "usage: folder_bench generate <folder> <pictures> | add <folder> <runs>\n");
    return 2;
  }
  const std::string which = argv[1];
  if (which == "generate") return Generate(Wide(argv[2]), std::atol(argv[3]));
  const int runs = std::max(1, std::atoi(argv[3]));
  CoInitialize(nullptr);
  InitCommonControls();
  chosenFolder = Wide(argv[2]);
  g_browseForFolder = AnswerFolder;
  g_messageBox = CountBox;
  const SIZE_T before = PeakWorkingSet();
  size_t added = 0;
  for (int run = 0; run < runs; ++run) {
    ShowState state;
    SetTimer(nullptr, 0, 10, Click);
    RunSelectPicturesDialog(nullptr, state);
    added = state.PictureList.size();
  }
  if (added == 0 || boxes > 0 || times.size() != static_cast<size_t>(runs)) {
    std::fprintf(stderr, "%s: %u pictures added, %d messages\n", argv[2],
                 static_cast<unsigned>(added), boxes);
    return 1;
  }
  std::sort(times.begin(), times.end());
  const SIZE_T peak = PeakWorkingSet();
  const double extra = peak > before ? double(peak - before) / (1024.0 * 1024.0) : 0.0;
  std::printf("%.1f %.1f %u\n", times[times.size() / 2], extra, static_cast<unsigned>(added));
  return 0;
}
