// Text as the program holds it and as its files hold it. The manifest makes UTF-8 the
// program's ANSI code page (Windows 10 1903 and later), so every "A" call takes UTF-8 and
// files are written in UTF-8. Files from before that are in the machine's legacy ANSI code
// page, which GetACP() no longer reports.
#pragma once

#include <cstddef>
#include <string>

// Checks UTF-8 fed in pieces of any size (a character may straddle two pieces): no overlong
// forms, no surrogates, nothing above U+10FFFF, no sequence left open at the end.
class Utf8Check {
 public:
  void Feed(const char* bytes, size_t count);
  bool Valid() const { return valid_ && pending_ == 0; }

 private:
  bool valid_ = true;
  int pending_ = 0;            // continuation bytes still expected
  unsigned char low_ = 0x80;   // bounds of the next continuation byte
  unsigned char high_ = 0xBF;
};

bool IsUtf8(const std::string& text);
bool IsAscii(const std::string& text);

// The legacy ANSI code page: the system locale's, which GetACP() gave before the manifest.
using LegacyCodePageFn = unsigned (*)();
extern LegacyCodePageFn g_legacyCodePage;
unsigned SystemLegacyCodePage();

// Text of a file (UTF-8, or the legacy code page when `legacy`) in the program's code page.
std::string FileTextToProgram(const std::string& text, bool legacy);
// The program's text as UTF-8 for a file.
std::string ProgramTextToFile(const std::string& text);

// Converts between UTF-16 and the program's code page. False when the text cannot be said in
// that code page without loss (only possible where Windows ignores the manifest).
bool WideToProgram(const std::wstring& text, std::string* out);
std::wstring ProgramToWide(const std::string& text);

// Length of the longest start of text of at most limit bytes that ends on a character
// boundary of the program's code page.
size_t FitText(const char* text, size_t limit);
