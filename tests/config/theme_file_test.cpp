#include "show/theme_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "base/scoped_handle.h"
#include "config/config_fixture.h"
#include "show/show_settings.h"

using testing_support::ReadFileBytes;
using testing_support::ScratchInstall;
using testing_support::WriteFileBytes;

namespace {

constexpr char kNewThemeLine[] =
    "{0xffffff, {0xff, 0xff, 0xff}, 0, 0, 0, 0xffffff, {0xff, 0xff, 0xff}, 1, 1}";

ThemeRecord Sample(uint32_t frame, int32_t gradient, int32_t flags) {
  ThemeRecord r;
  std::memset(&r, 0, sizeof r);
  r.backGndColor = frame;
  r.backGndRgb[0] = static_cast<uint8_t>(frame >> 16);
  r.backGndRgb[1] = static_cast<uint8_t>(frame >> 8);
  r.backGndRgb[2] = static_cast<uint8_t>(frame);
  r.gradient = gradient;
  r.invertPicture = flags & 1;
  r.object3DIndex = 0;
  r.object3DColor = 0x00a0b0c0;
  r.object3DRgb[0] = 0xa0;
  r.object3DRgb[1] = 0xb0;
  r.object3DRgb[2] = 0xc0;
  r.renderReflection = (flags >> 1) & 1;
  r.render3DObject = (flags >> 2) & 1;
  return r;
}

bool Same(const ThemeRecord& a, const ThemeRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

TEST(ThemeLine, NewThemeIsWrittenExactly) {
  EXPECT_EQ(FormatThemeLine(NewUserTheme()), kNewThemeLine);
}

TEST(ThemeLine, EveryFieldSurvivesWriteAndRead) {
  ThemeRecord r = Sample(0x00123456, 9, 7);
  r.object3DIndex = -3;
  r.renderReflection = -1;  // odd values are kept as they stand
  ThemeRecord back;
  ASSERT_TRUE(ParseThemeLine(FormatThemeLine(r).c_str(), &back));
  EXPECT_TRUE(Same(r, back));
}

TEST(ThemeLine, MalformedLinesLeaveUnreadFieldsZero) {
  ThemeRecord r;
  EXPECT_FALSE(ParseThemeLine("{0xff00, {0x1, 0x2, oops", &r));
  EXPECT_EQ(r.backGndColor, 0xff00u);
  EXPECT_EQ(r.backGndRgb[0], 1);
  EXPECT_EQ(r.backGndRgb[1], 2);
  EXPECT_EQ(r.backGndRgb[2], 0);
  EXPECT_EQ(r.render3DObject, 0);

  EXPECT_FALSE(ParseThemeLine("garbage", &r));
  EXPECT_TRUE(Same(r, ThemeRecord{}));
  // Blanks in the format match any run of white space, or none.
  EXPECT_TRUE(ParseThemeLine("{0x1,{0x0,0x0,0x1},2,0,0,0x2,{0x0,0x0,0x2},1,0}", &r));
  EXPECT_EQ(r.gradient, 2);
  // A byte component keeps its low 8 bits.
  EXPECT_TRUE(ParseThemeLine("{0x1, {0x1ff, 0x0, 0x1}, 2, 0, 0, 0x2, {0x0, 0x0, 0x2}, 1, 0}", &r));
  EXPECT_EQ(r.backGndRgb[0], 0xff);
}

TEST(ThemeFile, EmptyAndMissingFilesGiveNoRecords) {
  ScratchInstall install;
  install.WriteThemes("user.thm", "");
  std::vector<ThemeRecord> list;
  LoadThemeFile(install.dir(), nullptr, "user.thm", list);
  LoadThemeFile(install.dir(), nullptr, "app.thm", list);
  EXPECT_TRUE(list.empty());
}

TEST(ThemeFile, ThreeLinesGiveThreeRecordsInOrderAndAppend) {
  ScratchInstall install;
  const std::vector<ThemeRecord> written = {Sample(0x010203, 1, 1), Sample(0x040506, 2, 2),
                                            Sample(0x070809, 3, 4)};
  ASSERT_TRUE(SaveThemeFile(install.dir(), nullptr, "app.thm", written));
  EXPECT_EQ(install.ReadThemes("app.thm"), FormatThemeLine(written[0]) + "\r\n" +
                                               FormatThemeLine(written[1]) + "\r\n" +
                                               FormatThemeLine(written[2]) + "\r\n");
  std::vector<ThemeRecord> list = {Sample(0xffffff, 0, 0)};
  LoadThemeFile(install.dir(), nullptr, "app.thm", list);
  ASSERT_EQ(list.size(), 4u);
  for (size_t i = 0; i < written.size(); ++i) EXPECT_TRUE(Same(list[i + 1], written[i])) << i;
}

TEST(ThemeFile, MalformedLinesStillAddOneRecordEach) {
  ScratchInstall install;
  install.WriteThemes("user.thm", std::string(kNewThemeLine) + "\r\nnot a theme\r\n\r\n{0x5\r\n");
  std::vector<ThemeRecord> list;
  LoadThemeFile(install.dir(), nullptr, "user.thm", list);
  ASSERT_EQ(list.size(), 4u);
  EXPECT_TRUE(Same(list[0], NewUserTheme()));
  EXPECT_TRUE(Same(list[1], ThemeRecord{}));
  EXPECT_TRUE(Same(list[2], ThemeRecord{}));
  EXPECT_EQ(list[3].backGndColor, 5u);
  EXPECT_EQ(list[3].render3DObject, 0);
}

TEST(ThemeFile, DeletingKeepsTheOrderOfTheRest) {
  ScratchInstall install;
  std::vector<ThemeRecord> list = {Sample(0x1, 1, 0), Sample(0x2, 2, 0), Sample(0x3, 3, 0)};
  list.erase(list.begin() + 1);
  ASSERT_TRUE(SaveThemeFile(install.dir(), nullptr, "user.thm", list));
  EXPECT_EQ(install.ReadThemes("user.thm"), FormatThemeLine(Sample(0x1, 1, 0)) + "\r\n" +
                                                FormatThemeLine(Sample(0x3, 3, 0)) + "\r\n");
}

TEST(ThemeFile, ExplicitPathIsUsedAsGiven) {
  testing_support::TempFolder folder;
  const std::string path = folder.File("mine.thm");
  ASSERT_TRUE(SaveThemeFile(nullptr, path.c_str(), "ignored", {NewUserTheme()}));
  std::vector<ThemeRecord> list;
  LoadThemeFile(nullptr, path.c_str(), "ignored", list);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_TRUE(Same(list[0], NewUserTheme()));
}

TEST(ThemeFile, UnwritableInstallationGoesToTheUserFolderAndIsReadFromThere) {
  ScratchInstall install;
  // A folder in place of the file stands for an installation folder a user cannot write.
  CreateDirectoryA(install.ThemePath("user.thm").c_str(), nullptr);
  ASSERT_TRUE(SaveThemeFile(install.dir(), nullptr, "user.thm", {NewUserTheme()}));
  const std::string userCopy = install.UserFolder() + "\\tdef\\user.thm";
  EXPECT_EQ(ReadFileBytes(userCopy), std::string(kNewThemeLine) + "\r\n");
  std::vector<ThemeRecord> list;
  LoadThemeFile(install.dir(), nullptr, "user.thm", list);
  EXPECT_EQ(list.size(), 1u);

  // Once the installation folder takes the file, the per-user copy goes away; one that can
  // be neither removed nor replaced (held open) fails the save, as it would still be read.
  RemoveDirectoryA(install.ThemePath("user.thm").c_str());
  {
    ScopedHandle held(CreateFileA(userCopy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held.valid());
    EXPECT_FALSE(SaveThemeFile(install.dir(), nullptr, "user.thm", {}));
  }
  ASSERT_TRUE(SaveThemeFile(install.dir(), nullptr, "user.thm", {}));
  EXPECT_EQ(GetFileAttributesA(userCopy.c_str()), INVALID_FILE_ATTRIBUTES);
  list.clear();
  LoadThemeFile(install.dir(), nullptr, "user.thm", list);
  EXPECT_TRUE(list.empty());
}

TEST(ThemeFile, NeitherPlaceWritableIsReported) {
  ScratchInstall install;
  CreateDirectoryA(install.ThemePath("app.thm").c_str(), nullptr);
  // The per-user folder path is blocked by a file of the same name.
  WriteFileBytes(install.UserFolder(), "in the way");
  EXPECT_FALSE(SaveThemeFile(install.dir(), nullptr, "app.thm", {NewUserTheme()}));
  DeleteFileA(install.UserFolder().c_str());
}
