#include "config/picture_folder.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <utility>

#include "base/text_encoding.h"
#include "image/wic_decoder.h"

namespace {

std::wstring Join(const std::wstring& folder, const wchar_t* name) {
  if (!folder.empty() && folder.back() == L'\\') return folder + name;  // a drive's root
  return folder + L"\\" + name;
}

// Upper case, and the separator below every other character, so that plain comparison of
// keys gives the tree order.
std::wstring SortKey(const std::wstring& path) {
  std::wstring key = path;
  if (!key.empty()) CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
  std::replace(key.begin(), key.end(), L'\\', L'\x01');
  return key;
}

std::vector<std::wstring> FindPicturePaths(const std::wstring& top) {
  std::vector<std::wstring> found;
  std::vector<std::wstring> pending{top};  // a stack, not recursion: trees can be deep
  while (!pending.empty()) {
    const std::wstring folder = std::move(pending.back());
    pending.pop_back();
    WIN32_FIND_DATAW data;
    // The basic level skips the short 8.3 names, and the large fetch asks for many entries
    // per call: both count on a folder of thousands of files.
    HANDLE search =
        FindFirstFileExW(Join(folder, L"*").c_str(), FindExInfoBasic, &data,
                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) continue;
    do {
      const DWORD attributes = data.dwFileAttributes;
      if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (IsPictureFileName(data.cFileName)) found.push_back(Join(folder, data.cFileName));
      } else if (std::wcscmp(data.cFileName, L".") != 0 &&
                 std::wcscmp(data.cFileName, L"..") != 0 &&
                 !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        pending.push_back(Join(folder, data.cFileName));
      }
    } while (FindNextFileW(search, &data));
    FindClose(search);
  }
  return found;
}

}  // namespace

const std::vector<std::string>& PicturePatterns() {
  static const std::vector<std::string> patterns = [] {
    std::vector<std::string> all;
    for (const imaging::PictureFamily& family : imaging::PictureFamilies()) {
      all.insert(all.end(), family.patterns.begin(), family.patterns.end());
    }
    return all;
  }();
  return patterns;
}

std::string PictureFilter() {
  std::string filter = "All pictures";
  filter += '\0';
  for (const std::string& pattern : PicturePatterns()) filter += pattern + ";";
  filter += '\0';
  static const char kClassic[] =
      "(*.jpg;*.bmp;*.png;)\0*.jpg;*.bmp;*.png;\0(*.jpg)\0*.jpg\0(*.bmp)\0*.bmp\0(*.png)\0*.png\0";
  filter.append(kClassic, sizeof kClassic - 1);
  for (const imaging::PictureFamily& family : imaging::PictureFamilies()) {
    if (family.name == "JPEG" || family.name == "PNG" || family.name == "BMP") continue;
    std::string patterns;
    for (const std::string& pattern : family.patterns) {
      patterns += (patterns.empty() ? "" : ";") + pattern;
    }
    filter += family.name + " (" + patterns + ")";
    filter += '\0';
    filter += patterns;
    filter += '\0';
  }
  return filter;  // the final NUL of the string ends the list
}

bool IsPictureFileName(const std::wstring& name) {
  const size_t dot = name.rfind(L'.');
  if (dot == std::wstring::npos) return false;
  std::string extension;
  if (!WideToProgram(name.substr(dot + 1), &extension)) return false;
  for (const std::string& pattern : PicturePatterns()) {
    if (_stricmp(extension.c_str(), pattern.c_str() + 2) == 0) return true;
  }
  return false;
}

FolderPictures FindFolderPictures(const std::wstring& folder) {
  std::vector<std::pair<std::wstring, std::wstring>> keyed;  // sort key, path
  for (std::wstring& path : FindPicturePaths(folder)) {
    std::wstring key = SortKey(path);
    keyed.emplace_back(std::move(key), std::move(path));
  }
  std::sort(keyed.begin(), keyed.end());

  FolderPictures result;
  result.entries.reserve(keyed.size());
  std::string path;
  for (const auto& item : keyed) {
    // Too long for an entry, or (where the manifest is ignored) not expressible in the ANSI
    // code page: no entry could name this file.
    if (!WideToProgram(item.second, &path) || path.size() >= sizeof(PictureEntry::path)) {
      ++result.refused;
      continue;
    }
    const size_t slash = path.rfind('\\');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    result.entries.push_back(MakePictureEntry(name.c_str(), path.c_str()));
  }
  return result;
}
