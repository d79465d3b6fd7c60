// The mutation fuzzer's machinery: a seeded generator, the seed files of each reader, the
// mutations, and the guard every case runs under (time bound, allocation bound, and a report
// of the case that crashed, hung or ended the process).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fuzz {

// splitmix64: the same seed gives the same mutants on every machine.
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t Next();
  // Uniform in [0, bound); bound > 0.
  uint64_t Below(uint64_t bound);
  bool Chance(int percent) { return Below(100) < uint64_t(percent); }

 private:
  uint64_t state_;
};

struct SeedFile {
  std::string path;  // where it came from, for the reports
  std::string bytes;
};

// Lower-case extension of a path without the dot ("" when there is none).
std::string Extension(const std::string& path);

// Every file under folder (recursively) whose extension is one of extensions (lower case);
// an empty list takes every file.
std::vector<SeedFile> CollectFiles(const std::string& folder,
                                   const std::vector<std::string>& extensions);

// Every file of the test data and the generated installation data with one of the extensions.
std::vector<SeedFile> Seeds(const std::vector<std::string>& extensions);

// Mutants per reader: 2,000 with SOLVANE_LONG_TESTS=1, else 200. SOLVANE_FUZZ_CASES overrides.
int MutantCount();
// SOLVANE_FUZZ_SEED, else a fixed seed; mixed with the reader's name.
uint64_t SeedFor(const std::string& reader);

struct Mutant {
  std::string bytes;
  std::string extension;  // of the seed file, lower case
  std::string origin;  // seed file and the mutations applied, for the reports
};

// Flips, overwrites, truncates and splices bytes of one seed (sometimes with a part of
// another). The first seeds.size() calls with index < seeds.size() take the seeds in turn so
// every file is mutated at least once; after that large seeds are taken less often, so that a
// run is not dominated by the slowest files.
Mutant Mutate(const std::vector<SeedFile>& seeds, int index, Rng& rng);

// Mutations that keep a text file's syntax: 1 to 3 numbers replaced by edge values of their
// kind (integer or real). Binary seeds get 32-bit fields overwritten after the header instead.
Mutant MutateNumbers(const SeedFile& seed, Rng& rng);

using Mutator = std::function<Mutant(const std::vector<SeedFile>& seeds, int index, Rng& rng)>;

// Bounds for one case.
struct CaseLimits {
  double seconds = 20.0;                   // a slower case fails
  double hangSeconds = 90.0;               // the watchdog ends the process after this
  uint64_t allocationBytes = 512ull << 20;  // peak live heap above the case's start
};

// Runs body once per mutant under the guard. On a failed bound, or a false result from
// body, the mutant is saved under the build folder (fuzz-failures) and the test fails with
// its origin. A crash, a hang or an exit during a case prints the case and saves the mutant
// before the process ends.
struct CaseResult {
  bool ok = true;
  std::string problem;
};
using CaseBody = std::function<CaseResult(const Mutant& mutant, int index)>;
void RunMutants(const std::string& reader, const std::vector<SeedFile>& seeds, int count,
                const CaseLimits& limits, const CaseBody& body, const Mutator& mutate = Mutate);

// Replays one saved file under the same guard.
CaseResult RunOne(const std::string& reader, const Mutant& mutant, const CaseLimits& limits,
                  const CaseBody& body);

// Heap bytes allocated through malloc/new and still live, and the peak since the last reset.
uint64_t LiveHeapBytes();
uint64_t PeakHeapBytes();
void ResetPeakHeap();
// Whether the allocation hooks are linked in (the tests fail when they are not).
bool AllocationHooksActive();

// A scratch folder for files that a reader takes by name, removed at exit.
std::string ScratchFolder();
bool WriteWholeFile(const std::string& path, const std::string& bytes);
std::string ReadWholeFile(const std::string& path);

}  // namespace fuzz
