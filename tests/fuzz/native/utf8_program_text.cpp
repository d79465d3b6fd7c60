// The program's code page as the manifest sets it (UTF-8), for the text functions that ask
// Windows about code pages. Legacy text is taken as Latin-1, which every byte converts from.
#include <cstring>
#include <string>

#include "base/text_encoding.h"

std::string FileTextToProgram(const std::string& text, bool legacy) {
  if (!legacy || IsAscii(text)) return text;
  std::string converted;
  for (const char c : text) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      converted += c;
    } else {
      converted += static_cast<char>(0xC0 | (b >> 6));
      converted += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return converted;
}

size_t FitText(const char* text, size_t limit) {
  const size_t length = std::strlen(text);
  if (length <= limit) return length;
  size_t cut = limit;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return cut;
}
