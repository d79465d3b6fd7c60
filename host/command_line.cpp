// The run-mode switch that the system's screen-saver machinery passes on the command line.
#include "host/saver_app.h"

#include <cctype>
#include <cstdlib>

CommandLineChoice ParseCommandLine(const char* line) {
  CommandLineChoice choice{RunMode::Configure, nullptr};
  if (line == nullptr) return choice;

  // Skip the program path; a quoted one may contain '/' or '-'.
  const char* p = line;
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p != '\0' && *p != ' ') ++p;
    if (*p == ' ') ++p;
  }

  while (*p != '\0' && *p != '/' && *p != '-') ++p;
  if (*p == '\0') return choice;  // started without a switch: configure
  ++p;

  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
  switch (letter) {
    case 'c': choice.runMode = RunMode::Configure; break;
    case 'p': choice.runMode = RunMode::Preview; break;
    case 'a': choice.runMode = RunMode::ChangePassword; break;
    case 't': choice.runMode = RunMode::Test; return choice;
    default: choice.runMode = RunMode::FullScreen; return choice;
  }

  // "/p 1234", "/p:1234" and "/P1234" all name window 1234.
  ++p;
  while (*p != '\0' && !std::isdigit(static_cast<unsigned char>(*p))) ++p;
  if (*p != '\0') {
    const unsigned long long handle = std::strtoull(p, nullptr, 10);
    choice.parentWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(handle));
  }
  return choice;
}
