// Reading .tsl text from a stream, apart from the files so the parser stands alone.
#include "show/picture_list.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/text_encoding.h"

namespace {

// One whole line without its line end, of which no more is kept than any entry could use: a
// file of one huge line must not cost its size in memory. `longer` tells that more was
// dropped. False at end of file.
bool ReadLine(FILE* file, std::string& line, bool& longer) {
  constexpr size_t kKept = 1023;  // a legacy line this long is far past a field after conversion
  line.clear();
  longer = false;
  char chunk[512];
  while (std::fgets(chunk, sizeof chunk, file) != nullptr) {
    size_t length = std::strlen(chunk);
    const bool lineEnd = length > 0 && chunk[length - 1] == '\n';
    if (lineEnd) --length;
    const size_t room = kKept - line.size();
    if (length > room) longer = true;
    line.append(chunk, std::min(length, room));
    if (lineEnd) return true;
  }
  return !line.empty();
}

// Lists are UTF-8 since the program runs in UTF-8; a list that is not valid UTF-8 comes from
// before and is in the legacy code page. Decided for the whole file, which the caller then
// reads from its start.
bool IsLegacyList(FILE* file) {
  Utf8Check check;
  char chunk[65536];
  size_t count;
  while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) check.Feed(chunk, count);
  std::rewind(file);
  return !check.Valid();
}

}  // namespace

PictureEntry MakePictureEntry(const char* name, const char* path) {
  PictureEntry entry;
  std::memset(&entry, 0, sizeof entry);
  // Cut on a character boundary: half a character would make the rest of the text unreadable.
  std::memcpy(entry.name, name, FitText(name, sizeof entry.name - 1));
  std::memcpy(entry.path, path, FitText(path, sizeof entry.path - 1));
  return entry;
}

bool ReadPictureListStream(std::FILE* file, std::vector<PictureEntry>& list, size_t* refused) {
  if (refused != nullptr) *refused = 0;
  const bool legacy = IsLegacyList(file);

  std::string name;
  std::string line;
  bool longer = false;
  bool haveName = false;
  bool first = true;
  while (ReadLine(file, line, longer)) {
    // A byte-order mark from an editor is no part of the first name.
    if (first && !legacy && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    first = false;
    if (!haveName) {
      name = FileTextToProgram(line, legacy);
      haveName = true;
      continue;
    }
    haveName = false;
    const std::string picture = FileTextToProgram(line, legacy);
    // A path cut short would name another file or none: such an entry is left out.
    if (longer || picture.size() >= sizeof(PictureEntry::path)) {
      if (refused != nullptr) ++*refused;
      continue;
    }
    list.push_back(MakePictureEntry(name.c_str(), picture.c_str()));
  }
  return std::ferror(file) == 0;
}
