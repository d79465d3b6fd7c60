#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "base/data_paths.h"
#include "base/text_copy.h"
#include "base/text_encoding.h"
#include "base/whole_file.h"
#include "show/picture_list.h"
#include "show/show_settings.h"
#include "show/theme_file.h"
#include "support/test_support.h"

namespace {

using testing_support::TempFolder;

std::string userFolderForTest;
char installDir[512];  // the InstallDir the list files are placed by

// Writes half of what it is given, then fails as a full disk does.
BOOL WINAPI WriteHalfThenFail(HANDLE file, LPCVOID data, DWORD size, LPDWORD written,
                              LPOVERLAPPED overlapped) {
  WriteFile(file, data, size / 2, written, overlapped);
  SetLastError(ERROR_DISK_FULL);
  return FALSE;
}

// The installation folder refuses a standard user, as Windows does.
HANDLE WINAPI RefuseInstallFolder(LPCSTR path, DWORD access, DWORD share,
                                  LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                                  HANDLE templateFile) {
  if (std::strncmp(path, installDir, std::strlen(installDir)) == 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  return CreateFileA(path, access, share, security, disposition, flags, templateFile);
}

int FilesIn(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  int count = 0;
  if (search == INVALID_HANDLE_VALUE) return 0;
  do {
    count += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return count;
}

bool TestUserFolder(char* out, size_t size) {
  if (userFolderForTest.empty()) return false;
  return FormatPath(out, size, "%s", userFolderForTest.c_str());
}

class PictureListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyText(installDir, install_.path().c_str(), sizeof installDir);
    userFolderForTest = user_.path() + "\\Korrin Software\\Solvane 7.0";
    previousFolder_ = g_userDataFolder;
    g_userDataFolder = TestUserFolder;
  }
  void TearDown() override {
    g_userDataFolder = previousFolder_;
    g_fileWriteCalls = {CreateFileA, WriteFile};
  }

  void LoadFile(const char* path, size_t* refused = nullptr) {
    LoadPictureList(installDir, path, list, refused);
  }
  bool Save(const char* path) { return SavePictureList(installDir, path, list); }
  void Load(const std::string& bytes) {
    install_.Write("list.tsl", bytes);
    LoadFile(install_.File("list.tsl").c_str());
  }

  std::vector<PictureEntry> list;
  TempFolder install_;
  TempFolder user_;
  UserDataFolderFn previousFolder_ = nullptr;
};

TEST_F(PictureListTest, EmptyAndSingleLineFilesAddNothing) {
  Load("");
  EXPECT_TRUE(list.empty());
  Load("only a name\n");
  EXPECT_TRUE(list.empty());
}

TEST_F(PictureListTest, LinesPairIntoNameAndPathAndAnOddLastLineIsDropped) {
  Load("beach.jpg\r\nC:\\Photos\\beach.jpg\r\ndangling\r\n");
  ASSERT_EQ(list.size(), 1u);
  EXPECT_STREQ(list[0].name, "beach.jpg");
  EXPECT_STREQ(list[0].path, "C:\\Photos\\beach.jpg");
}

TEST_F(PictureListTest, BlankLinesAreValues) {
  Load("\nC:\\a.jpg\nnamed\n\n");
  ASSERT_EQ(list.size(), 2u);
  EXPECT_STREQ(list[0].name, "");
  EXPECT_STREQ(list[0].path, "C:\\a.jpg");
  EXPECT_STREQ(list[1].name, "named");
  EXPECT_STREQ(list[1].path, "");
}

TEST_F(PictureListTest, LoadingTwiceAppendsTwice) {
  Load("a\nA\nb\nB\n");
  LoadFile(install_.File("list.tsl").c_str());
  ASSERT_EQ(list.size(), 4u);
  EXPECT_STREQ(list[2].name, "a");
  EXPECT_STREQ(list[3].path, "B");
}

TEST_F(PictureListTest, TooLongPathsAreLeftOutAndNamesCutOnACharacterBoundary) {
  const std::string longName(700, 'n');
  const std::string longPath(1200, 'p');
  std::string cyrillic127;  // 254 bytes
  for (int i = 0; i < 127; ++i) cyrillic127 += u8"Ж";
  size_t refused = 0;
  install_.Write("list.tsl", longName + "\n" + longPath + "\nsecond\nC:\\second.jpg\n" +
                                 cyrillic127 + u8"ЖЖ\n" + cyrillic127 + "\n" +  //
                                 "x\n" + cyrillic127 + u8"Ж\n");
  LoadFile(install_.File("list.tsl").c_str(), &refused);
  EXPECT_EQ(refused, 2u);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_STREQ(list[0].name, "second");
  EXPECT_STREQ(list[0].path, "C:\\second.jpg");
  EXPECT_EQ(std::string(list[1].name), cyrillic127);
  EXPECT_EQ(std::string(list[1].path), cyrillic127);
  EXPECT_EQ(std::string(MakePictureEntry(longName.c_str(), "").name), std::string(255, 'n'));
}

TEST_F(PictureListTest, NamesInAnyScriptAreWrittenAsUtf8AndReadBack) {
  ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));  // the manifest applies
  const std::string file = install_.File(u8"списки Ωμέγα 写真 🌄.tsl");
  list.push_back(MakePictureEntry(u8"Ωμέγα 🌄.jpg", u8"C:\\Фото\\写真\\Ωμέγα 🌄.jpg"));
  list.push_back(MakePictureEntry("plain.jpg", "C:\\plain.jpg"));
  ASSERT_TRUE(Save(file.c_str()));
  EXPECT_TRUE(testing_support::ExistsUnderUtf8Name(file));
  EXPECT_EQ(testing_support::ReadFileBytes(file),
            u8"Ωμέγα 🌄.jpg\r\nC:\\Фото\\写真\\Ωμέγα 🌄.jpg\r\nplain.jpg\r\nC:\\plain.jpg\r\n");
  const auto saved = list;
  list.clear();
  LoadFile(file.c_str());
  ASSERT_EQ(list.size(), 2u);
  EXPECT_STREQ(list[0].path, saved[0].path);
  EXPECT_STREQ(list[0].name, saved[0].name);
}

TEST_F(PictureListTest, ListsFromBeforeUtf8AreReadInTheLegacyCodePage) {
  EXPECT_NE(SystemLegacyCodePage(), static_cast<unsigned>(CP_UTF8));
  const LegacyCodePageFn previous = g_legacyCodePage;
  g_legacyCodePage = [] { return 1251u; };
  // "Привет" and "C:\Фото\a.jpg" in Windows-1251, and a path that only fits before it is
  // converted.
  Load("\xCF\xF0\xE8\xE2\xE5\xF2\r\nC:\\\xD4\xEE\xF2\xEE\\a.jpg\r\nlong\r\n" +
       std::string(200, '\xC6') + "\r\n");
  g_legacyCodePage = previous;
  ASSERT_EQ(list.size(), 1u);
  EXPECT_STREQ(list[0].name, u8"Привет");
  EXPECT_STREQ(list[0].path, u8"C:\\Фото\\a.jpg");
  ASSERT_TRUE(Save(install_.File("again.tsl").c_str()));
  EXPECT_EQ(install_.Read("again.tsl"), u8"Привет\r\nC:\\Фото\\a.jpg\r\n");

  // ASCII lists stay byte for byte; an editor's byte-order mark is dropped.
  const std::string ascii = "a.jpg\r\nC:\\a.jpg\r\n";
  list.clear();
  Load("\xEF\xBB\xBF" + ascii);
  ASSERT_TRUE(Save(install_.File("ascii.tsl").c_str()));
  EXPECT_EQ(install_.Read("ascii.tsl"), ascii);
}

TEST(TextEncodingTest, Utf8CheckAndCharacterBoundaries) {
  EXPECT_TRUE(IsUtf8(u8"Ωμέγα 写真 🌄"));
  for (const char* bad : {"\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "caf\xE9"}) {
    EXPECT_FALSE(IsUtf8(bad)) << bad;
  }
  Utf8Check split;  // a character across two pieces
  split.Feed("\xE2", 1);
  EXPECT_FALSE(split.Valid());
  split.Feed("\x82\xAC", 2);
  EXPECT_TRUE(split.Valid());
  EXPECT_EQ(FitText(u8"aЖ", 2), 1u);
  EXPECT_EQ(FitText(u8"a🌄", 4), 1u);
  EXPECT_EQ(FitText(u8"a🌄", 5), 5u);
}

TEST_F(PictureListTest, SaveWritesNameAndPathLinesWithCrLf) {
  list.push_back(MakePictureEntry("beach.jpg", "C:\\Photos\\beach.jpg"));
  list.push_back(MakePictureEntry("", "C:\\x.jpg"));
  ASSERT_TRUE(Save(install_.File("out.tsl").c_str()));
  EXPECT_EQ(install_.Read("out.tsl"), "beach.jpg\r\nC:\\Photos\\beach.jpg\r\n\r\nC:\\x.jpg\r\n");
}

TEST_F(PictureListTest, SaveThenLoadGivesTheSameEntries) {
  for (int i = 0; i < 5; ++i) {
    const std::string name = "picture " + std::to_string(i) + ".jpg";
    const std::string path = "D:\\My Pictures\\" + std::string(200, 'x') + name;
    list.push_back(MakePictureEntry(name.c_str(), path.c_str()));
  }
  const auto saved = list;
  ASSERT_TRUE(Save(install_.File("round.tsl").c_str()));
  list.clear();
  LoadFile(install_.File("round.tsl").c_str());
  ASSERT_EQ(list.size(), saved.size());
  for (size_t i = 0; i < saved.size(); ++i) {
    EXPECT_STREQ(list[i].name, saved[i].name);
    EXPECT_STREQ(list[i].path, saved[i].path);
  }
}

TEST_F(PictureListTest, MissingFileChangesNothingAndUnwritableFileReportsFailure) {
  list.push_back(MakePictureEntry("keep", "C:\\keep.jpg"));
  LoadFile(install_.File("missing.tsl").c_str());
  EXPECT_EQ(list.size(), 1u);
  EXPECT_FALSE(Save(install_.File("no such folder\\x.tsl").c_str()));
  EXPECT_EQ(list.size(), 1u);
}

TEST_F(PictureListTest, DefaultPicturesAreFourteenInOrder) {
  AddDefaultPictures(installDir, list);
  ASSERT_EQ(list.size(), 14u);
  EXPECT_STREQ(list[0].name, "defpic1");
  EXPECT_EQ(std::string(list[0].path), install_.path() + "\\data\\defpics\\defpic1.jpg");
  EXPECT_STREQ(list[13].name, "defpic14");
  EXPECT_EQ(std::string(list[13].path),
            install_.path() + "\\data\\defpics\\defpic14.jpg");
}

TEST_F(PictureListTest, StartUpAddsDefaultsOnlyWhenDrawing) {
  LoadStartUpPictureList(installDir, false, list);
  EXPECT_TRUE(list.empty());
  LoadStartUpPictureList(installDir, true, list);
  EXPECT_EQ(list.size(), 14u);
}

TEST_F(PictureListTest, StartUpPrefersTheDefaultListFile) {
  install_.Write("picsavelist.tsl", "mine\nC:\\mine.jpg\n");
  LoadStartUpPictureList(installDir, true, list);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_STREQ(list[0].name, "mine");
}

TEST_F(PictureListTest, UnwritableInstallFolderSavesThePerUserCopy) {
  CopyText(installDir, (install_.path() + "\\read-only install").c_str(),
           sizeof installDir);  // a folder that does not exist cannot be written
  list.push_back(MakePictureEntry("mine", "C:\\mine.jpg"));
  ASSERT_TRUE(Save(nullptr));
  EXPECT_EQ(testing_support::ReadFileBytes(userFolderForTest + "\\picsavelist.tsl"),
            "mine\r\nC:\\mine.jpg\r\n");
  list.clear();
  LoadFile(nullptr);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_STREQ(list[0].path, "C:\\mine.jpg");
}

TEST_F(PictureListTest, PerUserCopyIsReadFirstAndRemovedByASuccessfulMachineWideSave) {
  install_.Write("picsavelist.tsl", "machine\nC:\\m.jpg\n");
  ASSERT_TRUE(CreateFolderTree(userFolderForTest.c_str()));
  testing_support::WriteFileBytes(userFolderForTest + "\\picsavelist.tsl", "user\nC:\\u.jpg\n");
  LoadFile(nullptr);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_STREQ(list[0].name, "user");

  ASSERT_TRUE(Save(nullptr));
  EXPECT_EQ(install_.Read("picsavelist.tsl"), "user\r\nC:\\u.jpg\r\n");
  EXPECT_EQ(GetFileAttributesA((userFolderForTest + "\\picsavelist.tsl").c_str()),
            INVALID_FILE_ATTRIBUTES);
}

TEST_F(PictureListTest, ListsAndThemesThatFailHalfWayLeaveTheOldFileByteForByte) {
  const std::string oldList = "old\r\nC:\\old.jpg\r\n";
  const std::string oldThemes = FormatThemeLine(NewUserTheme()) + "\r\n";
  install_.Write("list.tsl", oldList);
  install_.Write("user.thm", oldThemes);
  for (int i = 0; i < 2000; ++i) list.push_back(MakePictureEntry("new", "C:\\new.jpg"));
  g_fileWriteCalls.writeFile = WriteHalfThenFail;
  EXPECT_FALSE(Save(install_.File("list.tsl").c_str()));
  EXPECT_FALSE(SaveThemeFile(installDir, install_.File("user.thm").c_str(), "user.thm",
                             {NewUserTheme(), {}, {}}));
  EXPECT_EQ(install_.Read("list.tsl"), oldList);
  EXPECT_EQ(install_.Read("user.thm"), oldThemes);
  EXPECT_EQ(FilesIn(install_.path()), 2);  // no half-written file left beside them

  g_fileWriteCalls.writeFile = WriteFile;
  EXPECT_TRUE(Save(install_.File("list.tsl").c_str()));
  EXPECT_EQ(install_.Read("list.tsl").size(), 2000 * std::string("new\r\nC:\\new.jpg\r\n").size());
  EXPECT_EQ(FilesIn(install_.path()), 2);
}

TEST_F(PictureListTest, AStandardUserRefusedTheInstallFolderSavesThePerUserCopy) {
  install_.Write("picsavelist.tsl", "machine\nC:\\m.jpg\n");
  g_fileWriteCalls.createFile = RefuseInstallFolder;
  list.push_back(MakePictureEntry("mine", "C:\\mine.jpg"));
  ASSERT_TRUE(Save(nullptr));
  EXPECT_EQ(install_.Read("picsavelist.tsl"), "machine\nC:\\m.jpg\n");
  EXPECT_EQ(testing_support::ReadFileBytes(userFolderForTest + "\\picsavelist.tsl"),
            "mine\r\nC:\\mine.jpg\r\n");
}

TEST_F(PictureListTest, NowhereToSaveIsReported) {
  CopyText(installDir, (install_.path() + "\\missing").c_str(),
           sizeof installDir);
  userFolderForTest.clear();  // no per-user folder either
  list.push_back(MakePictureEntry("a", "b"));
  EXPECT_FALSE(Save(nullptr));
}

}  // namespace
