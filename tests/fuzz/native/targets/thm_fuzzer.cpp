// Theme files (.thm): any text gives records, and every record survives being written and
// read back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "show/theme_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "r");
  if (file == nullptr) return 0;
  std::vector<ThemeRecord> records;
  ReadThemeLines(file, records);
  std::fclose(file);
  for (const ThemeRecord& record : records) {
    ThemeRecord again;
    if (!ParseThemeLine(FormatThemeLine(record).c_str(), &again) ||
        std::memcmp(&again, &record, sizeof record) != 0) {
      std::abort();
    }
  }
  return 0;
}
