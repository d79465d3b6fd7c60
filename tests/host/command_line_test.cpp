#include <gtest/gtest.h>

#include "host/saver_app.h"

namespace {

struct Case {
  const char* line;
  RunMode mode;
  uintptr_t parent;
};

HWND Handle(uintptr_t value) { return reinterpret_cast<HWND>(value); }

TEST(CommandLine, SelectsTheRunModeAndOwnerWindow) {
  const Case cases[] = {
      {"saver.scr", RunMode::Configure, 0},
      {"saver.scr ", RunMode::Configure, 0},
      {"", RunMode::Configure, 0},
      {"saver.scr /s", RunMode::FullScreen, 0},
      {"saver.scr /S", RunMode::FullScreen, 0},
      {"saver.scr -s", RunMode::FullScreen, 0},
      {"saver.scr /x", RunMode::FullScreen, 0},
      {"saver.scr /c", RunMode::Configure, 0},
      {"saver.scr /c:", RunMode::Configure, 0},
      {"saver.scr /c:abc", RunMode::Configure, 0},
      {"saver.scr /c:5678", RunMode::Configure, 5678},
      {"saver.scr /p 1234", RunMode::Preview, 1234},
      {"saver.scr /p:1234", RunMode::Preview, 1234},
      {"saver.scr /P1234", RunMode::Preview, 1234},
      {"saver.scr -p 42", RunMode::Preview, 42},
      {"saver.scr /a 77", RunMode::ChangePassword, 77},
      {"saver.scr /t", RunMode::Test, 0},
      {"saver.scr /t 99", RunMode::Test, 0},
      {"saver.scr /T", RunMode::Test, 0},
  };
  for (const Case& c : cases) {
    const CommandLineChoice choice = ParseCommandLine(c.line);
    EXPECT_EQ(choice.runMode, c.mode) << c.line;
    EXPECT_EQ(choice.parentWindow, Handle(c.parent)) << c.line;
  }
}

TEST(CommandLine, QuotedProgramPathIsSkippedWhole) {
  // Slashes and hyphens inside the quoted path are never switches.
  EXPECT_EQ(ParseCommandLine("\"C:\\my-savers/x-1\\saver.scr\"").runMode, RunMode::Configure);
  EXPECT_EQ(ParseCommandLine("\"C:\\a-b\\s.scr\" /t").runMode, RunMode::Test);
  const CommandLineChoice preview = ParseCommandLine("\"C:/Program Files/s-1.scr\" /p 555");
  EXPECT_EQ(preview.runMode, RunMode::Preview);
  EXPECT_EQ(preview.parentWindow, Handle(555));
}

TEST(CommandLine, UnquotedPathEndsAtTheFirstBlank) {
  // The switch is searched for after the first blank only.
  EXPECT_EQ(ParseCommandLine("C:\\saver-1.scr").runMode, RunMode::Configure);
  EXPECT_EQ(ParseCommandLine("C:\\saver-1.scr /p 9").parentWindow, Handle(9));
}

}  // namespace
