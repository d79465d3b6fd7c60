#include "base/text_encoding.h"

#include <windows.h>

#include <cstring>

unsigned SystemLegacyCodePage() {
  DWORD codePage = 0;
  if (GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                     reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(WCHAR)) == 0 ||
      codePage == CP_ACP || codePage == CP_UTF8) {
    // Locales with no ANSI code page of their own had programs run in Western European.
    return 1252;
  }
  return codePage;
}

LegacyCodePageFn g_legacyCodePage = SystemLegacyCodePage;

namespace {

std::wstring ToWide(const std::string& text, UINT codePage) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, &wide[0], length);
  return wide;
}

// False when a character has no form in the code page.
bool FromWide(const std::wstring& wide, UINT codePage, std::string* out) {
  out->clear();
  if (wide.empty()) return true;
  const bool utf8 = codePage == CP_UTF8 || (codePage == CP_ACP && GetACP() == CP_UTF8);
  // UTF-8 refuses only broken surrogate pairs; other code pages report a stand-in character.
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* lossy = utf8 ? nullptr : &usedDefault;
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, lossy);
  if (length <= 0) return false;
  out->assign(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), size, &(*out)[0], length, nullptr, lossy);
  return !usedDefault;
}

}  // namespace

std::string FileTextToProgram(const std::string& text, bool legacy) {
  const UINT from = legacy ? g_legacyCodePage() : CP_UTF8;
  if (IsAscii(text) || from == GetACP()) return text;
  std::string converted;
  // Where the manifest is ignored a character may have no ANSI form: it becomes the stand-in.
  FromWide(ToWide(text, from), CP_ACP, &converted);
  return converted;
}

std::string ProgramTextToFile(const std::string& text) {
  if (IsAscii(text) || GetACP() == CP_UTF8) return text;
  std::string converted;
  FromWide(ToWide(text, CP_ACP), CP_UTF8, &converted);
  return converted;
}

bool WideToProgram(const std::wstring& text, std::string* out) {
  return FromWide(text, CP_ACP, out);
}

std::wstring ProgramToWide(const std::string& text) { return ToWide(text, CP_ACP); }

size_t FitText(const char* text, size_t limit) {
  const size_t length = std::strlen(text);
  if (length <= limit) return length;
  const UINT codePage = GetACP();
  if (codePage == CP_UTF8) {
    size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return cut;
  }
  CPINFO info;
  if (!GetCPInfo(codePage, &info) || info.MaxCharSize < 2) return limit;
  size_t at = 0;
  while (at < length) {
    const size_t step = IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[at])) ? 2 : 1;
    if (at + step > limit) break;
    at += step;
  }
  return at;
}
