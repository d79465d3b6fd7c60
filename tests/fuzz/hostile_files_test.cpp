// Files far outside what the program writes itself: a picture list of 100,000 entries, lines
// of 10,000 characters and one line of many megabytes, theme files of the same kinds, and a
// .x file of 100,000 frames side by side. With so many pictures, every one of them must still
// be able to come up (the C library's rand() stops at 32767).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "fuzz/fuzz_harness.h"
#include "show/backgrounds.h"
#include "show/picture_list.h"
#include "show/slideshow_choice.h"
#include "show/theme_file.h"
#include "support/test_support.h"
#include "tests/xfile/recording_device.h"
#include "xfile/mesh_file.h"

namespace {

using testing_support::TempFolder;

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string NumberedList(int entries) {
  std::string text;
  text.reserve(size_t(entries) * 48);
  char line[96];
  for (int i = 0; i < entries; ++i) {
    std::snprintf(line, sizeof line, "picture%06d.jpg\nC:\\Pictures\\picture%06d.jpg\n", i, i);
    text += line;
  }
  return text;
}

class HostileFiles : public testing::Test {
 protected:
  TempFolder folder_;
  std::vector<PictureEntry> list_;
};

TEST_F(HostileFiles, HundredThousandPicturesLoadWholeAndInOrderAndSaveBack) {
  folder_.Write("many.tsl", NumberedList(100000));
  const auto start = std::chrono::steady_clock::now();
  LoadPictureList(nullptr, folder_.File("many.tsl").c_str(), list_);
  const double seconds = SecondsSince(start);
  ASSERT_EQ(list_.size(), 100000u);
  EXPECT_STREQ(list_[0].name, "picture000000.jpg");
  EXPECT_STREQ(list_[32768].path, "C:\\Pictures\\picture032768.jpg");
  EXPECT_STREQ(list_[99999].path, "C:\\Pictures\\picture099999.jpg");
  // A bound against a hang, not a benchmark.
  EXPECT_LT(seconds, 20.0);

  ASSERT_TRUE(SavePictureList(nullptr, folder_.File("again.tsl").c_str(), list_));
  std::string expected;
  for (char c : folder_.Read("many.tsl")) {
    if (c == '\n') expected += '\r';  // written in text mode
    expected += c;
  }
  // Compared as a truth value: a diff of two 5 MB texts would not fit in memory.
  EXPECT_TRUE(folder_.Read("again.tsl") == expected);
}

TEST_F(HostileFiles, EveryPictureOfAListLongerThanRandMaxCanComeUp) {
  ASSERT_EQ(RAND_MAX, 32767);  // why the wide draw exists
  const int n = 100000;
  std::srand(1234);
  int highest = -1;
  std::set<int> quarters;
  for (int draw = 0; draw < 20000; ++draw) {
    const int index = RandomIndex(n, std::rand);
    ASSERT_GE(index, 0);
    ASSERT_LT(index, n);
    highest = std::max(highest, index);
    quarters.insert(index / (n / 4));
  }
  EXPECT_GT(highest, 95000);
  EXPECT_EQ(quarters.size(), 4u);  // all four quarters of the list, not only the first third

  // Through the four-slot rule as the slideshow draws it.
  PictureChoiceState state;
  int beyond = 0;
  for (int change = 0; change < 2000; ++change) {
    int indices[4];
    ChoosePictures(n, state, indices, std::rand);
    std::set<int> distinct(indices, indices + 4);
    ASSERT_EQ(distinct.size(), 4u);
    for (int index : indices) beyond += index > RAND_MAX ? 1 : 0;
  }
  EXPECT_GT(beyond, 4000);  // about two thirds of 8000

  // Lists that fit in one draw keep exactly one draw modulo n.
  std::srand(99);
  const int first = std::rand();
  std::srand(99);
  EXPECT_EQ(RandomIndex(14, std::rand), first % 14);
  std::srand(99);
  EXPECT_EQ(RandomIndex(RAND_MAX + 1, std::rand), first);
}

TEST_F(HostileFiles, TenThousandCharacterLinesCutTheNameAndLeaveOutThePath) {
  folder_.Write("long.tsl", std::string(10000, 'n') + "\nC:\\long.jpg\nshort\n" +
                                std::string(10000, 'p') + "\n" + std::string(10000, 'x') + "\n");
  size_t refused = 0;
  LoadPictureList(nullptr, folder_.File("long.tsl").c_str(), list_, &refused);
  EXPECT_EQ(refused, 1u);
  ASSERT_EQ(list_.size(), 1u);
  EXPECT_EQ(std::string(list_[0].name), std::string(255, 'n'));
  EXPECT_STREQ(list_[0].path, "C:\\long.jpg");
}

TEST_F(HostileFiles, OneLineOfManyMegabytesDoesNotCostItsSize) {
  std::string huge(24u << 20, 'z');
  huge += "\nC:\\after.jpg\n";
  folder_.Write("huge.tsl", huge);
  huge.clear();
  huge.shrink_to_fit();
  const uint64_t before = fuzz::LiveHeapBytes();
  fuzz::ResetPeakHeap();
  LoadPictureList(nullptr, folder_.File("huge.tsl").c_str(), list_);
  EXPECT_LT(fuzz::PeakHeapBytes() - before, 1u << 20);
  ASSERT_EQ(list_.size(), 1u);
  EXPECT_EQ(std::string(list_[0].name), std::string(255, 'z'));
  EXPECT_STREQ(list_[0].path, "C:\\after.jpg");
}

TEST_F(HostileFiles, ThemeFilesOfManyAndOfLongLines) {
  const std::string line = FormatThemeLine(NewUserTheme()) + "\n";
  std::string many;
  for (int i = 0; i < 100000; ++i) many += line;
  folder_.Write("many.thm", many);
  std::vector<ThemeRecord> records;
  LoadThemeFile(nullptr, folder_.File("many.thm").c_str(), kUserThemeFile, records);
  ASSERT_EQ(records.size(), 100000u);
  EXPECT_EQ(FormatThemeLine(records[99999]), FormatThemeLine(NewUserTheme()));

  // A long line is read in pieces of at most 511 characters, each piece a record.
  folder_.Write("long.thm", std::string(10000, '{') + "\n" + line);
  records.clear();
  LoadThemeFile(nullptr, folder_.File("long.thm").c_str(), kUserThemeFile, records);
  ASSERT_EQ(records.size(), 20u + 1u);  // 10,001 characters with the line end
  EXPECT_EQ(FormatThemeLine(records.back()), FormatThemeLine(NewUserTheme()));

  // A gradient past the table is kept as read; nothing names a file for it.
  folder_.Write("gradient.thm",
                "{0xffffff, {0xff, 0xff, 0xff}, 12, 0, 0, 0xffffff, {0xff, 0xff, 0xff}, 1, 1}\n");
  records.clear();
  LoadThemeFile(nullptr, folder_.File("gradient.thm").c_str(), kUserThemeFile, records);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].gradient, 12);
  char path[MAX_PATH];
  EXPECT_FALSE(GradientFilePath("C:\\Solvane", records[0].gradient, path, sizeof path));
}

TEST_F(HostileFiles, HundredThousandSiblingFramesLoadDrawAndRelease) {
  std::string text = "xof 0303txt 0032\n";
  for (int i = 0; i < 100000; ++i) text += "Frame {}\n";
  folder_.Write("siblings.x", text);
  RecordingDevice device;
  FrameNode root("root");
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(LoadMeshFile(&root, &device, folder_.File("siblings.x").c_str()), S_OK);
  int frames = 0;
  for (const FrameNode* node = root.firstChild.get(); node != nullptr;
       node = node->nextSibling.get()) {
    ++frames;
  }
  // DirectX File itself may stop handing out objects before the end (Wine's does at 500).
  EXPECT_GT(frames, 0);
  EXPECT_LE(frames, 100000);
  EXPECT_EQ(RenderMeshFile(&root, &device, nullptr), S_OK);
  EXPECT_EQ(ReleaseMeshFile(&root), S_OK);
  EXPECT_EQ(root.firstChild, nullptr);
  EXPECT_LT(SecondsSince(start), 60.0);

  // The tree code on such a chain, whatever DirectX File delivers: drawing, releasing and
  // deleting must not recurse once per sibling.
  FrameNode* chain = nullptr;
  for (int i = 0; i < 100000; ++i) {
    FrameNode* node = new FrameNode("sibling");
    node->nextSibling.reset(chain);
    chain = node;
  }
  root.firstChild.reset(chain);
  EXPECT_EQ(RenderMeshFile(&root, &device, nullptr), S_OK);
  EXPECT_EQ(ReleaseMeshFile(&root), S_OK);
  EXPECT_EQ(root.firstChild, nullptr);
  chain = nullptr;
  for (int i = 0; i < 100000; ++i) {
    FrameNode* node = new FrameNode("sibling");
    node->nextSibling.reset(chain);
    chain = node;
  }
  delete chain;
}

}  // namespace
