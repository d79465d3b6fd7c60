// Media-file search order and the bounded copies of its results.
#include "xfile/media_path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/text_copy.h"
#include "support/test_support.h"

namespace {

using testing_support::TempFolder;

constexpr const char* kSdkKey = "Software\\Microsoft\\DirectX SDK";
constexpr const char* kSdkValue = "DX81SDK Samples Path";

class MediaPathTest : public testing::Test {
 protected:
  void SetUp() override {
    GetCurrentDirectoryA(sizeof(savedDirectory), savedDirectory);
    RemoveSdkValue();
    CreateDirectoryA(folder.File("current").c_str(), nullptr);
    CreateDirectoryA(folder.File("elsewhere").c_str(), nullptr);
    CreateDirectoryA(folder.File("sdk").c_str(), nullptr);
    CreateDirectoryA(folder.File("sdk\\Media").c_str(), nullptr);
    SetCurrentDirectoryA(folder.File("current").c_str());
  }
  void TearDown() override {
    SetCurrentDirectoryA(savedDirectory);
    RemoveSdkValue();
  }
  void SetSdkPath(const std::string& path) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSdkKey, 0, nullptr, 0, KEY_WRITE,
                                             nullptr, &key, nullptr));
    RegSetValueExA(key, kSdkValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>(path.size() + 1));
    RegCloseKey(key);
  }
  static void RemoveSdkValue() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSdkKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, kSdkValue);
    RegCloseKey(key);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSdkKey);  // only when nothing else is in it
  }

  TempFolder folder;
  char savedDirectory[MAX_PATH] = {};
  char output[MAX_PATH] = {};
};

TEST_F(MediaPathTest, MissingArgumentsAreInvalid) {
  EXPECT_EQ(E_INVALIDARG, FindMediaFile(nullptr, "a.x"));
  EXPECT_EQ(E_INVALIDARG, FindMediaFile(output, nullptr));
}

TEST_F(MediaPathTest, ANameThatExistsAsGivenWinsAndBecomesAFullPath) {
  folder.Write("elsewhere\\mug.x", "given");
  folder.Write("current\\mug.x", "current");
  folder.Write("sdk\\Media\\mug.x", "media");
  SetSdkPath(folder.File("sdk"));
  EXPECT_EQ(S_OK, FindMediaFile(output, "..\\elsewhere\\mug.x"));
  EXPECT_STREQ(folder.File("elsewhere\\mug.x").c_str(), output);
}

TEST_F(MediaPathTest, TheBareNameIsTriedInTheCurrentFolder) {
  folder.Write("current\\mug.x", "current");
  folder.Write("sdk\\Media\\mug.x", "media");
  SetSdkPath(folder.File("sdk"));
  EXPECT_EQ(S_OK, FindMediaFile(output, "no\\such\\folders\\mug.x"));
  EXPECT_STREQ("mug.x", output);
}

TEST_F(MediaPathTest, TheMediaFolderComesLast) {
  folder.Write("sdk\\Media\\only.x", "media");
  EXPECT_EQ(E_FAIL, FindMediaFile(output, "only.x"));  // no SDK folder yet
  EXPECT_STREQ("only.x", output);
  EXPECT_STREQ("", GetMediaDirectory());
  SetSdkPath(folder.File("sdk"));
  EXPECT_EQ(folder.File("sdk") + "\\Media\\", std::string(GetMediaDirectory()));
  EXPECT_EQ(S_OK, FindMediaFile(output, "textures\\only.x"));
  EXPECT_EQ(folder.File("sdk") + "\\Media\\only.x", std::string(output));
}

TEST_F(MediaPathTest, NothingFoundGivesTheNameBack) {
  EXPECT_EQ(E_FAIL, FindMediaFile(output, "nowhere\\gone.x"));
  EXPECT_STREQ("nowhere\\gone.x", output);
}

TEST_F(MediaPathTest, AResultLongerThanTheOutputIsRefusedWithoutWritingPastIt) {
  folder.Write("elsewhere\\mug.x", "given");
  char small[40];
  std::memset(small, '#', sizeof(small));
  const std::string name = folder.File("elsewhere\\mug.x");
  ASSERT_GT(name.size(), 16u);
  EXPECT_EQ(E_FAIL, FindMediaFile(small, name.c_str(), 16));
  EXPECT_EQ('\0', small[15]);
  EXPECT_EQ(15u, std::strlen(small));
  for (size_t i = 16; i < sizeof(small); ++i) EXPECT_EQ('#', small[i]) << i;
}

TEST(CopyText, BoundsAndTermination) {
  char buffer[8];
  std::memset(buffer, '#', sizeof(buffer));
  CopyText(buffer, "abc", 1);
  EXPECT_EQ('\0', buffer[0]);
  EXPECT_EQ('#', buffer[1]);

  std::memset(buffer, '#', sizeof(buffer));
  CopyText(buffer, "abcdefghijk", 5);
  EXPECT_STREQ("abcd", buffer);
  EXPECT_EQ('#', buffer[5]);

  std::memset(buffer, '#', sizeof(buffer));
  CopyText(buffer, "ab", 6);  // padded with zeros like strncpy
  EXPECT_STREQ("ab", buffer);
  for (int i = 2; i < 6; ++i) EXPECT_EQ('\0', buffer[i]);
  EXPECT_EQ('#', buffer[6]);

  std::memset(buffer, '#', sizeof(buffer));
  CopyText(buffer, "abcdef", static_cast<size_t>(-1));
  EXPECT_STREQ("abcdef", buffer);
  EXPECT_EQ('#', buffer[7]);

  std::memset(buffer, '#', sizeof(buffer));
  CopyText(buffer, "abc", 0);
  CopyText(nullptr, "abc", 4);
  CopyText(buffer, nullptr, 4);
  EXPECT_EQ('#', buffer[0]);
}

}  // namespace
