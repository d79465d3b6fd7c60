// The code-page-free part of the text handling, so the readers built without Windows use it too.
#include "base/text_encoding.h"

void Utf8Check::Feed(const char* bytes, size_t count) {
  for (size_t i = 0; i < count && valid_; ++i) {
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (pending_ > 0) {
      if (b < low_ || b > high_) valid_ = false;
      --pending_;
      low_ = 0x80;
      high_ = 0xBF;
      continue;
    }
    if (b < 0x80) continue;
    // The second byte's range rules out overlong forms, surrogates and values past U+10FFFF.
    if (b >= 0xC2 && b <= 0xDF) {
      pending_ = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      pending_ = 2;
      if (b == 0xE0) low_ = 0xA0;
      if (b == 0xED) high_ = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      pending_ = 3;
      if (b == 0xF0) low_ = 0x90;
      if (b == 0xF4) high_ = 0x8F;
    } else {
      valid_ = false;
    }
  }
}

bool IsUtf8(const std::string& text) {
  Utf8Check check;
  check.Feed(text.data(), text.size());
  return check.Valid();
}

bool IsAscii(const std::string& text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}
