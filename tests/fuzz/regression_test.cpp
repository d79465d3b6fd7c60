// Mutants that once crashed a reader or broke a bound, replayed under the same guard. The file
// name's prefix names the reader: image-, xfile-, theme-, list-.
#include <gtest/gtest.h>

#include <windows.h>

#include "image/image_decode.h"
#include "fuzz/fuzz_harness.h"
#include "fuzz/fuzz_readers.h"
#include "support/test_support.h"
#include "xfile/compressed_xfile.h"

namespace fuzz {
namespace {

const std::string kFolder = std::string(SOLVANE_SOURCE_DIR) + "/tests/fuzz/regressions";

std::string Regression(const char* name) { return ReadWholeFile(kFolder + "/" + name); }

CaseResult Replay(const SeedFile& file) {
  const std::string name = file.path.substr(file.path.find_last_of('/') + 1);
  const Mutant mutant{file.bytes, Extension(name), file.path};
  const CaseLimits limits;
  if (name.rfind("image-", 0) == 0) {
    return RunOne("image", mutant, limits,
                  [](const Mutant& m, int) { return ImageCase(m, 0, nullptr); });
  }
  if (name.rfind("xfile-", 0) == 0) {
    return RunOne("xfile", mutant, limits,
                  [](const Mutant& m, int) { return XFileCase(m, 0, nullptr); });
  }
  if (name.rfind("theme-", 0) == 0) return RunOne("theme", mutant, limits, ThemeCase);
  if (name.rfind("list-", 0) == 0) return RunOne("list", mutant, limits, PictureListCase);
  return CaseResult{false, "no reader for " + name};
}

TEST(FuzzRegressions, EverySavedMutantLoadsOrFailsCleanly) {
  const std::vector<SeedFile> files = CollectFiles(kFolder, {});
  ASSERT_FALSE(files.empty());
  for (const SeedFile& file : files) {
    SCOPED_TRACE(file.path);
    const CaseResult result = Replay(file);
    EXPECT_TRUE(result.ok) << result.problem;
  }
}

// DirectX File crashed the process on this one: well framed, but a flipped bit inside the
// deflate data. The blocks are now unpacked before DirectX File is given the file.
TEST(FuzzRegressions, DamagedDeflateDataIsRefusedBeforeDirectXFile) {
  const std::string bytes = Regression("xfile-damaged-deflate-data.x");
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  ASSERT_TRUE(IsCompressedXFileHeader(data, bytes.size()));
  EXPECT_TRUE(CompressedXFileFramingIsSound(data, bytes.size()));
  EXPECT_FALSE(CompressedXFileBlocksUnpack(data, bytes.size()));
  const std::string path = ScratchFolder() + "\\damaged.x";
  ASSERT_TRUE(WriteWholeFile(path, bytes));
  EXPECT_EQ(E_FAIL, CheckXFileFraming(path.c_str()));
}

// DirectX File crashed on a binary file whose name token claims 1,000 bytes (the fuzzer's
// case was a shifted integer list that made a name of 65,536): it copies names into a fixed
// buffer. Binary and compressed binary files are walked token by token first.
TEST(FuzzRegressions, BinaryNameLongerThanDirectXFileTakesIsRefused) {
  const std::string longName = Regression("xfile-binary-long-name.x");
  const std::string packed = CompressXFile(longName);
  ASSERT_FALSE(packed.empty());
  for (const std::string& bytes : {longName, packed}) {
    const std::string path = ScratchFolder() + "\\long-name.x";
    ASSERT_TRUE(WriteWholeFile(path, bytes));
    EXPECT_EQ(E_FAIL, CheckXFileFraming(path.c_str()));
  }
  // The real binary files pass, as they are and compressed.
  for (const char* name : {"test_cube_binary.x", "fromtruespace_bin32.x"}) {
    SCOPED_TRACE(name);
    const std::string bytes = ReadWholeFile(testing_support::TestDataPath(std::string("xfile/") + name));
    const std::string path = ScratchFolder() + "\\sound.x";
    ASSERT_TRUE(WriteWholeFile(path, bytes));
    EXPECT_EQ(S_OK, CheckXFileFraming(path.c_str()));
    ASSERT_TRUE(WriteWholeFile(path, CompressXFile(bytes)));
    EXPECT_EQ(S_OK, CheckXFileFraming(path.c_str()));
  }
}

std::string Token(uint16_t token) { return std::string(reinterpret_cast<const char*>(&token), 2); }
std::string Dword(uint32_t value) { return std::string(reinterpret_cast<const char*>(&value), 4); }

bool TokensSound(const std::string& tokens, uint32_t floatBytes = 4) {
  return BinaryXFileTokensAreSound(reinterpret_cast<const uint8_t*>(tokens.data()),
                                   tokens.size(), floatBytes);
}

TEST(FuzzRegressions, BinaryTokenWalk) {
  const std::string frame = Token(1) + Dword(5) + "Frame";
  EXPECT_TRUE(TokensSound(frame + Token(10) + Token(11)));
  EXPECT_TRUE(TokensSound(Token(1) + Dword(511) + std::string(511, 'n')));
  EXPECT_FALSE(TokensSound(Token(1) + Dword(512) + std::string(512, 'n')));
  EXPECT_TRUE(TokensSound(Token(2) + Dword(3) + "abc" + Token(20)));
  EXPECT_FALSE(TokensSound(Token(2) + Dword(3) + "abc"));  // no terminator
  EXPECT_TRUE(TokensSound(Token(6) + Dword(2) + Dword(7) + Dword(8)));
  EXPECT_FALSE(TokensSound(Token(6) + Dword(3) + Dword(7) + Dword(8)));
  EXPECT_TRUE(TokensSound(Token(7) + Dword(1) + std::string(8, '\0'), 8));
  EXPECT_FALSE(TokensSound(Token(7) + Dword(1) + std::string(4, '\0'), 8));
  EXPECT_FALSE(TokensSound(Token(7) + Dword(0x40000001) + std::string(4, '\0')));
  EXPECT_FALSE(TokensSound(frame + Token(99)));           // unknown token
  EXPECT_FALSE(TokensSound(frame + std::string(1, '\x0a')));  // half a token
  EXPECT_FALSE(TokensSound(Token(5) + std::string(15, 'g')));  // short GUID
  EXPECT_TRUE(TokensSound(""));
}

// A 1 KB PNG whose text chunk claims 1.6 GB: libpng allocated the whole chunk before
// finding the file too short.
TEST(FuzzRegressions, ChunkLongerThanThePngFailsWithoutAllocatingIt) {
  const std::string bytes = Regression("image-huge-text-chunk.png");
  imaging::SourceInfo info;
  const uint64_t before = LiveHeapBytes();
  ResetPeakHeap();
  EXPECT_EQ(imaging::kImageTruncated,
            imaging::ProbeImage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                   info));
  EXPECT_LT(PeakHeapBytes() - before, 1u << 20);
}

}  // namespace
}  // namespace fuzz
