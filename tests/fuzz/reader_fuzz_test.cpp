// Mutants of every test file and every installation file, fed to the reader that takes them:
// the picture decoders, the .x loader, theme files and picture lists.
#include <gtest/gtest.h>

#include <cstdio>

#include "fuzz/fuzz_harness.h"
#include "fuzz/fuzz_readers.h"
#include "support/test_support.h"

namespace fuzz {
namespace {

void FuzzImages(const char* reader, const std::vector<std::string>& extensions,
                const Mutator& mutate = Mutate) {
  const std::vector<SeedFile> seeds = Seeds(extensions);
  ImageStats stats;
  const int count = MutantCount();
  RunMutants(
      reader, seeds, count, CaseLimits{},
      [&stats](const Mutant& mutant, int index) { return ImageCase(mutant, index, &stats); },
      mutate);
  std::printf("[ fuzz     ] %s: %d of %d mutants decoded\n", reader, stats.decoded, count);
  // Mutants that all fail at the first check would test nothing beyond it.
  EXPECT_GT(stats.decoded, count / 40);
}

// Most PNG mutants would stop at a chunk CRC, or in the deflate data: two in three get their
// CRCs made right, and half of those change only the header fields (size, depth, colour type,
// interlacing), which is where the decoder's own arithmetic starts.
Mutant MutatePng(const std::vector<SeedFile>& seeds, int index, Rng& rng) {
  if (size_t(index) >= seeds.size() && rng.Chance(33)) {
    const SeedFile& seed = seeds[rng.Below(seeds.size())];
    Mutant mutant{seed.bytes, "png", seed.path + ": header"};
    const int changes = 1 + int(rng.Below(2));
    for (int i = 0; i < changes && mutant.bytes.size() >= 33; ++i) {
      const size_t at = 16 + size_t(rng.Below(13));
      const uint8_t value = uint8_t(rng.Chance(50) ? rng.Below(17) : rng.Next());
      mutant.bytes[at] = char(value);
      mutant.origin += " @" + std::to_string(at) + "=" + std::to_string(value);
    }
    FixPngChunkCrcs(mutant.bytes);
    return mutant;
  }
  Mutant mutant = Mutate(seeds, index, rng);
  if (rng.Below(2) != 0) {
    FixPngChunkCrcs(mutant.bytes);
    mutant.origin += " crc-fixed";
  }
  return mutant;
}

TEST(ReaderFuzz, AllocationHooksAreLinked) {
  std::vector<char> probe(1 << 20);
  EXPECT_TRUE(AllocationHooksActive());
  EXPECT_GE(LiveHeapBytes(), probe.size());
}

TEST(ReaderFuzz, Jpeg) { FuzzImages("jpeg", {"jpg", "jpeg"}); }
TEST(ReaderFuzz, Png) { FuzzImages("png", {"png"}, MutatePng); }
TEST(ReaderFuzz, Bmp) { FuzzImages("bmp", {"bmp"}); }
TEST(ReaderFuzz, Dds) { FuzzImages("dds", {"dds"}); }
TEST(ReaderFuzz, Tga) { FuzzImages("tga", {"tga"}); }

// DirectX File refuses nearly every byte-level mutant of a text file at its first bad token,
// so half of the mutants keep the syntax and change counts and indices instead, compressed
// again a third of the time: those reach the mesh building and the decompressor.
Mutant MutateXFile(const std::vector<SeedFile>& seeds, const std::vector<SeedFile>& plain,
                   int index, Rng& rng) {
  if (size_t(index) < seeds.size() || rng.Chance(50)) return Mutate(seeds, index, rng);
  Mutant mutant = MutateNumbers(plain[rng.Below(plain.size())], rng);
  if (rng.Chance(33)) {
    const std::string packed = CompressXFile(mutant.bytes);
    if (!packed.empty()) {
      mutant.bytes = packed;
      mutant.origin += " compressed";
    }
  }
  return mutant;
}

TEST(ReaderFuzz, XFiles) {
  std::vector<SeedFile> seeds = Seeds({"x"});
  std::vector<SeedFile> plain;
  for (const SeedFile& seed : seeds) {
    // The models that load, small enough to be parsed many times.
    if (seed.bytes.size() <= (128u << 10) && CompressXFile(seed.bytes).size() > 0) {
      plain.push_back(seed);
    }
  }
  ASSERT_FALSE(plain.empty());
  for (SeedFile& copy : CompressedCopies(seeds)) seeds.push_back(std::move(copy));
  XFileStats stats;
  RunMutants(
      "xfile", seeds, MutantCount(), CaseLimits{},
      [&stats](const Mutant& mutant, int index) { return XFileCase(mutant, index, &stats); },
      [&plain](const std::vector<SeedFile>& all, int index, Rng& rng) {
        return MutateXFile(all, plain, index, rng);
      });
  std::printf("[ fuzz     ] xfile: %d loaded; %d compressed, %d of them refused by the framing "
              "check\n", stats.loaded, stats.compressed, stats.refusedByFraming);
  EXPECT_GT(stats.compressed, 0);
  EXPECT_GT(stats.loaded, 0);
}

TEST(ReaderFuzz, ThemeFiles) {
  std::vector<SeedFile> seeds = Seeds({"thm"});
  for (SeedFile& made : MadeThemeFiles()) seeds.push_back(std::move(made));
  RunMutants("theme", seeds, MutantCount(), CaseLimits{}, ThemeCase);
}

TEST(ReaderFuzz, PictureLists) {
  std::vector<SeedFile> seeds = Seeds({"tsl"});
  for (SeedFile& made : MadePictureLists()) seeds.push_back(std::move(made));
  // Text of other kinds, for lines of every length and odd bytes.
  for (SeedFile& text : CollectFiles(testing_support::TestDataPath(""), {"txt", "md"})) {
    seeds.push_back(std::move(text));
  }
  RunMutants("list", seeds, MutantCount(), CaseLimits{}, PictureListCase);
}

// The compressed seeds must be sound, or the .x mutants would only ever test the refusal.
TEST(ReaderFuzz, CompressedSeedsLoadLikeTheirSources) {
  const std::vector<SeedFile> plain = Seeds({"x"});
  int compared = 0;
  int loaded = 0;
  for (const SeedFile& file : plain) {
    const std::string packed = CompressXFile(file.bytes);
    if (packed.empty() || file.bytes.size() > (128u << 10)) continue;
    SCOPED_TRACE(file.path);
    XFileStats plainStats, packedStats;
    EXPECT_TRUE(XFileCase(Mutant{file.bytes, "x", file.path}, 0, &plainStats).ok);
    EXPECT_TRUE(XFileCase(Mutant{packed, "x", file.path}, 0, &packedStats).ok);
    EXPECT_EQ(packedStats.compressed, 1);
    EXPECT_EQ(packedStats.refusedByFraming, 0);
    EXPECT_EQ(plainStats.loaded, packedStats.loaded);
    ++compared;
    loaded += packedStats.loaded;
  }
  EXPECT_GE(compared, 4);
  EXPECT_GE(loaded, 3);
}

// The hazard in full on the one real compressed file: every byte damaged in turn, and every
// truncation. Those DirectX File is given must not crash it (the guard reports a crash).
TEST(ReaderFuzz, EveryByteAndEveryLengthOfTheCompressedCube) {
  const std::string original = ReadWholeFile(testing_support::TestDataPath("xfile/test_cube_compressed.x"));
  ASSERT_EQ(original.size(), 775u);
  XFileStats stats;
  const CaseBody body = [&stats](const Mutant& mutant, int index) {
    return XFileCase(mutant, index, &stats);
  };
  int cases = 0;
  for (size_t at = 0; at < original.size(); ++at) {
    Mutant flipped{original, "x", "test_cube_compressed.x: flip@" + std::to_string(at)};
    flipped.bytes[at] = char(flipped.bytes[at] ^ (1 << (at % 8)));
    const CaseResult result = RunOne("xfile", flipped, CaseLimits{}, body);
    EXPECT_TRUE(result.ok) << flipped.origin << ": " << result.problem;
    const Mutant cut{original.substr(0, at), "x", "test_cube_compressed.x: cut@" + std::to_string(at)};
    const CaseResult cutResult = RunOne("xfile", cut, CaseLimits{}, body);
    EXPECT_TRUE(cutResult.ok) << cut.origin << ": " << cutResult.problem;
    cases += 2;
  }
  std::printf("[ fuzz     ] compressed cube: %d cases, %d loaded, %d refused by the framing "
              "check\n", cases, stats.loaded, stats.refusedByFraming);
}

}  // namespace
}  // namespace fuzz
