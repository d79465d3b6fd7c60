#include "fuzz/fuzz_harness.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "support/test_support.h"

namespace fuzz {

namespace {

// The case in progress, for the reports of a crash, hang or exit.
struct CurrentCase {
  std::atomic<bool> active{false};
  std::atomic<int64_t> startMs{0};
  std::string reader;
  int index = 0;
  const Mutant* mutant = nullptr;
  double hangSeconds = 90.0;
};
CurrentCase current;

int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string FailureFolder() {
  const std::string folder = std::string(SOLVANE_BUILD_DIR) + "/fuzz-failures";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

std::string SaveMutant(const std::string& reader, int index, const Mutant& mutant) {
  char name[128];
  std::snprintf(name, sizeof name, "/%s-%d.%s", reader.c_str(), index,
                mutant.extension.empty() ? "bin" : mutant.extension.c_str());
  const std::string path = FailureFolder() + name;
  WriteWholeFile(path, mutant.bytes);
  return path;
}

// Called from the crash filter, the watchdog and the exit hooks: report and keep the input.
void ReportAndKeep(const char* what) {
  if (!current.active.exchange(false)) return;
  std::string saved = "(not saved)";
  if (current.mutant != nullptr) saved = SaveMutant(current.reader, current.index, *current.mutant);
  std::fprintf(stderr, "\nFUZZ FAULT: %s in reader %s, case %d, input %s\nmutant saved as %s\n",
               what, current.reader.c_str(), current.index,
               current.mutant != nullptr ? current.mutant->origin.c_str() : "?", saved.c_str());
  std::fflush(stderr);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
  char what[96];
  std::snprintf(what, sizeof what, "exception 0x%08lx at %p",
                info->ExceptionRecord->ExceptionCode, info->ExceptionRecord->ExceptionAddress);
  ReportAndKeep(what);
  return EXCEPTION_EXECUTE_HANDLER;
}

void OnExit() {
  if (!current.active) return;
  ReportAndKeep("the process exited");
  _exit(4);
}

void OnAbort(int) {
  ReportAndKeep("abort");
  _exit(4);
}

void OnTerminate() {
  ReportAndKeep("an uncaught C++ exception");
  _exit(4);
}

DWORD WINAPI Watchdog(void*) {
  for (;;) {
    Sleep(250);
    if (!current.active) continue;
    if (double(NowMs() - current.startMs) / 1000.0 > current.hangSeconds) {
      ReportAndKeep("a hang");
      TerminateProcess(GetCurrentProcess(), 3);
    }
  }
}

void InstallGuards() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  SetUnhandledExceptionFilter(OnCrash);
  ULONG guarantee = 64 * 1024;
  SetThreadStackGuarantee(&guarantee);
  std::atexit(OnExit);
  std::signal(SIGABRT, OnAbort);
  std::set_terminate(OnTerminate);
  HANDLE thread = CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
  if (thread != nullptr) CloseHandle(thread);
}

uint64_t Mix(uint64_t seed, const std::string& text) {
  uint64_t hash = 1469598103934665603ull;  // FNV-1a
  for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
  return seed ^ hash;
}

// Values that make readers take their edge paths.
constexpr uint8_t kBytes[] = {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF, 0x20, 0x0A};
constexpr uint32_t kWords[] = {0x00000000, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 0x0000FFFF,
                               0x00010000, 0x00008000, 0x10000000, 0x00000100, 0x0000FFFE};
const char* const kTokens[] = {"\n",   "\r\n", "{",   "}",         ",",    ";",
                               "0x",   "-1",   "-",   "4294967295", "2147483648",
                               "99999999999999999999", "%s%n", "\x1a", "\t", "\\",
                               "{0x", "0xffffffff", "1.#INF", "NaN", "\"", "<", "CK"};

// Numbers for the text formats: counts and indices that are out of range, or at an edge.
const char* const kNumbers[] = {"0",     "1",          "-1",         "2",          "3",
                                "255",   "256",        "65535",      "65536",      "2147483647",
                                "4294967295", "4294967296", "100000000", "1e38", "-0.0",
                                "nan",   "0x7fffffff", "-2147483648"};

constexpr size_t kMaxMutant = 4u << 20;

size_t Position(const std::string& bytes, Rng& rng) {
  if (bytes.empty()) return 0;
  // Half the time in the first 256 bytes, where the headers are.
  const size_t span = rng.Chance(50) ? std::min<size_t>(bytes.size(), 256) : bytes.size();
  return size_t(rng.Below(span));
}

const SeedFile& PickSeed(const std::vector<SeedFile>& seeds, Rng& rng) {
  for (;;) {
    const SeedFile& seed = seeds[rng.Below(seeds.size())];
    // Seeds above 64 KB are taken in proportion to 64 KB / size.
    const uint64_t size = std::max<uint64_t>(seed.bytes.size(), 1);
    if (size <= (64u << 10) || rng.Below(size) < (64u << 10)) return seed;
  }
}

void Apply(std::string& bytes, const std::vector<SeedFile>& seeds, Rng& rng, std::string& how) {
  char note[96] = "";
  switch (rng.Below(11)) {
    case 0: {  // bit flips
      if (bytes.empty()) break;
      const size_t at = Position(bytes, rng);
      const int bit = int(rng.Below(8));
      bytes[at] = char(uint8_t(bytes[at]) ^ (1u << bit));
      std::snprintf(note, sizeof note, " flip@%zu.%d", at, bit);
      break;
    }
    case 1: {  // one byte
      if (bytes.empty()) break;
      const size_t at = Position(bytes, rng);
      const uint8_t value = rng.Chance(50) ? kBytes[rng.Below(sizeof kBytes)] : uint8_t(rng.Next());
      bytes[at] = char(value);
      std::snprintf(note, sizeof note, " set@%zu=%02x", at, value);
      break;
    }
    case 2: {  // a 16- or 32-bit field
      if (bytes.size() < 4) break;
      const size_t at = std::min(Position(bytes, rng), bytes.size() - 4);
      const uint32_t value = kWords[rng.Below(sizeof kWords / sizeof kWords[0])];
      const int width = rng.Chance(50) ? 2 : 4;
      const bool bigEndian = rng.Chance(30);
      for (int i = 0; i < width; ++i) {
        const int shift = 8 * (bigEndian ? width - 1 - i : i);
        bytes[at + i] = char((value >> shift) & 0xFF);
      }
      std::snprintf(note, sizeof note, " word%d%s@%zu=%08x", width * 8, bigEndian ? "be" : "",
                    at, value);
      break;
    }
    case 3: {  // truncation
      const size_t keep = size_t(rng.Below(bytes.size() + 1));
      bytes.resize(keep);
      std::snprintf(note, sizeof note, " cut@%zu", keep);
      break;
    }
    case 4: {  // splice: our head, another seed's tail
      const SeedFile& other = seeds[rng.Below(seeds.size())];
      const size_t at = size_t(rng.Below(bytes.size() + 1));
      const size_t from = size_t(rng.Below(other.bytes.size() + 1));
      const size_t length = std::min<size_t>(other.bytes.size() - from, 1 + rng.Below(64 << 10));
      bytes = bytes.substr(0, at) + other.bytes.substr(from, length);
      std::snprintf(note, sizeof note, " splice@%zu+%zu", at, length);
      how += note;
      how += " from " + other.path;
      return;
    }
    case 5: {  // a chunk repeated elsewhere
      if (bytes.empty()) break;
      const size_t from = size_t(rng.Below(bytes.size()));
      const size_t length = std::min<size_t>(bytes.size() - from, 1 + rng.Below(512));
      const size_t to = size_t(rng.Below(bytes.size() + 1));
      bytes.insert(to, bytes.substr(from, length));
      std::snprintf(note, sizeof note, " copy%zu+%zu@%zu", from, length, to);
      break;
    }
    case 6: {  // a chunk removed
      if (bytes.empty()) break;
      const size_t from = size_t(rng.Below(bytes.size()));
      const size_t length = std::min<size_t>(bytes.size() - from, 1 + rng.Below(512));
      bytes.erase(from, length);
      std::snprintf(note, sizeof note, " erase%zu+%zu", from, length);
      break;
    }
    case 7: {  // a token of the text formats
      const char* token = kTokens[rng.Below(sizeof kTokens / sizeof kTokens[0])];
      const size_t at = size_t(rng.Below(bytes.size() + 1));
      bytes.insert(at, token, std::max<size_t>(std::strlen(token), 1));
      std::snprintf(note, sizeof note, " token@%zu", at);
      break;
    }
    case 9:
    case 10: {  // a number of a text format replaced by an edge value
      size_t at = size_t(rng.Below(bytes.size() + 1));
      const size_t limit = std::min(bytes.size(), at + 4096);
      while (at < limit && !std::isdigit(static_cast<unsigned char>(bytes[at]))) ++at;
      if (at >= limit) {
        how += " (no number)";
        return;
      }
      size_t end = at;
      while (end < bytes.size() && (std::isdigit(static_cast<unsigned char>(bytes[end])) ||
                                    bytes[end] == '.' || bytes[end] == 'e' || bytes[end] == '-')) {
        ++end;
      }
      while (at > 0 && bytes[at - 1] == '-') --at;
      const char* number = kNumbers[rng.Below(sizeof kNumbers / sizeof kNumbers[0])];
      bytes.replace(at, end - at, number);
      std::snprintf(note, sizeof note, " number@%zu=%s", at, number);
      break;
    }
    default: {  // a run of one byte, long lines and runs of zeros
      const size_t at = size_t(rng.Below(bytes.size() + 1));
      const size_t length = 1 + size_t(rng.Below(rng.Chance(20) ? 20000 : 600));
      const char value = char(kBytes[rng.Below(sizeof kBytes)]);
      bytes.insert(at, length, value);
      std::snprintf(note, sizeof note, " run%zu@%zu", length, at);
      break;
    }
  }
  how += note;
}

}  // namespace

uint64_t Rng::Next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

uint64_t Rng::Below(uint64_t bound) { return bound == 0 ? 0 : Next() % bound; }

std::string Extension(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  const size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

std::vector<SeedFile> CollectFiles(const std::string& folder,
                                   const std::vector<std::string>& extensions) {
  std::vector<SeedFile> files;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "/*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return files;
  std::vector<std::string> names;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());  // the same order everywhere, for reproducible runs
  for (const std::string& name : names) {
    const std::string path = folder + "/" + name;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      std::vector<SeedFile> inner = CollectFiles(path, extensions);
      for (SeedFile& file : inner) files.push_back(std::move(file));
      continue;
    }
    if (!extensions.empty() &&
        std::find(extensions.begin(), extensions.end(), Extension(name)) == extensions.end()) {
      continue;
    }
    files.push_back({path, ReadWholeFile(path)});
  }
  return files;
}

std::vector<SeedFile> Seeds(const std::vector<std::string>& extensions) {
  std::vector<SeedFile> seeds = CollectFiles(testing_support::TestDataPath(""), extensions);
  const std::string installData = std::string(SOLVANE_BUILD_DIR) + "/install_root/data";
  for (SeedFile& file : CollectFiles(installData, extensions)) {
    seeds.push_back(std::move(file));
  }
  return seeds;
}

int MutantCount() {
  if (const char* cases = std::getenv("SOLVANE_FUZZ_CASES")) {
    const int n = std::atoi(cases);
    if (n > 0) return n;
  }
  const char* long_ = std::getenv("SOLVANE_LONG_TESTS");
  return long_ != nullptr && std::strcmp(long_, "1") == 0 ? 2000 : 200;
}

uint64_t SeedFor(const std::string& reader) {
  uint64_t seed = 0x5017A4E7ull;
  if (const char* text = std::getenv("SOLVANE_FUZZ_SEED")) seed = std::strtoull(text, nullptr, 0);
  return Mix(seed, reader);
}

Mutant Mutate(const std::vector<SeedFile>& seeds, int index, Rng& rng) {
  Mutant mutant;
  const SeedFile& seed =
      index >= 0 && size_t(index) < seeds.size() ? seeds[size_t(index)] : PickSeed(seeds, rng);
  mutant.bytes = seed.bytes;
  mutant.extension = Extension(seed.path);
  mutant.origin = seed.path + ":";
  const int steps = 1 + int(rng.Below(4));
  for (int i = 0; i < steps; ++i) Apply(mutant.bytes, seeds, rng, mutant.origin);
  if (mutant.bytes.size() > kMaxMutant) mutant.bytes.resize(kMaxMutant);
  return mutant;
}

Mutant MutateNumbers(const SeedFile& seed, Rng& rng) {
  static const char* const kIntegers[] = {"0",     "1",          "-1",         "2",
                                          "3",     "255",        "256",        "65535",
                                          "65536", "2147483647", "4294967295", "100000000",
                                          "-2147483648", "16777216"};
  static const char* const kReals[] = {"1e38", "-1e38", "0.0", "-0.0", "3.4e38", "1e-45",
                                       "100000.0", "-7.5"};
  Mutant mutant;
  mutant.bytes = seed.bytes;
  mutant.extension = Extension(seed.path);
  mutant.origin = seed.path + ": numbers";
  std::string& bytes = mutant.bytes;
  const bool binary = bytes.size() >= 16 && bytes.compare(8, 4, "bin ") == 0;
  char note[96];
  const int steps = 1 + int(rng.Below(3));
  for (int i = 0; i < steps && bytes.size() > 20; ++i) {
    if (binary) {
      const size_t at = 16 + size_t(rng.Below(bytes.size() - 20));
      const uint32_t value = kWords[rng.Below(sizeof kWords / sizeof kWords[0])];
      for (int b = 0; b < 4; ++b) bytes[at + b] = char((value >> (8 * b)) & 0xFF);
      std::snprintf(note, sizeof note, " word32@%zu=%08x", at, value);
      mutant.origin += note;
      continue;
    }
    size_t at = 16 + size_t(rng.Below(bytes.size() - 16));
    while (at < bytes.size() && !std::isdigit(static_cast<unsigned char>(bytes[at]))) ++at;
    // Numbers inside names (Frame1, Material2) would only break the syntax.
    if (at >= bytes.size() || std::isalpha(static_cast<unsigned char>(bytes[at - 1])) ||
        bytes[at - 1] == '_') {
      continue;
    }
    size_t end = at;
    bool real = false;
    while (end < bytes.size() && (std::isdigit(static_cast<unsigned char>(bytes[end])) ||
                                  bytes[end] == '.' || bytes[end] == 'e' || bytes[end] == 'E' ||
                                  bytes[end] == '-' || bytes[end] == '+')) {
      real = real || bytes[end] == '.' || bytes[end] == 'e' || bytes[end] == 'E';
      ++end;
    }
    if (bytes[at - 1] == '-') --at;
    const char* number = real ? kReals[rng.Below(sizeof kReals / sizeof kReals[0])]
                              : kIntegers[rng.Below(sizeof kIntegers / sizeof kIntegers[0])];
    bytes.replace(at, end - at, number);
    std::snprintf(note, sizeof note, " number@%zu=%s", at, number);
    mutant.origin += note;
  }
  return mutant;
}

static CaseResult RunCase(const std::string& reader, const Mutant& mutant,
                          const CaseLimits& limits, const CaseBody& body, int index) {
  InstallGuards();
  current.reader = reader;
  current.index = index;
  current.mutant = &mutant;
  current.hangSeconds = limits.hangSeconds;
  const uint64_t baseline = LiveHeapBytes();
  ResetPeakHeap();
  current.startMs = NowMs();
  current.active = true;
  CaseResult result = body(mutant, index);
  current.active = false;
  const double seconds = double(NowMs() - current.startMs) / 1000.0;
  const uint64_t peak = PeakHeapBytes() > baseline ? PeakHeapBytes() - baseline : 0;
  char note[160];
  if (seconds > limits.seconds) {
    std::snprintf(note, sizeof note, "%stook %.1f s (bound %.0f s)",
                  result.problem.empty() ? "" : "; ", seconds, limits.seconds);
    result.ok = false;
    result.problem += note;
  }
  if (peak > limits.allocationBytes) {
    std::snprintf(note, sizeof note, "%sallocated %llu MB at its peak (bound %llu MB)",
                  result.problem.empty() ? "" : "; ",
                  static_cast<unsigned long long>(peak >> 20),
                  static_cast<unsigned long long>(limits.allocationBytes >> 20));
    result.ok = false;
    result.problem += note;
  }
  current.mutant = nullptr;
  return result;
}

CaseResult RunOne(const std::string& reader, const Mutant& mutant, const CaseLimits& limits,
                  const CaseBody& body) {
  return RunCase(reader, mutant, limits, body, 0);
}

void RunMutants(const std::string& reader, const std::vector<SeedFile>& seeds, int count,
                const CaseLimits& limits, const CaseBody& body, const Mutator& mutate) {
  ASSERT_FALSE(seeds.empty()) << "no seed files for " << reader;
  Rng rng(SeedFor(reader));
  int failures = 0;
  const int64_t start = NowMs();
  for (int i = 0; i < count && failures < 10; ++i) {
    const Mutant mutant = mutate(seeds, i, rng);
    const CaseResult result = RunCase(reader, mutant, limits, body, i);
    if (!result.ok) {
      ++failures;
      ADD_FAILURE() << reader << " case " << i << " (" << mutant.origin << "): " << result.problem
                    << "; saved as " << SaveMutant(reader, i, mutant);
    }
  }
  std::printf("[ fuzz     ] %s: %d mutants of %zu seeds in %.1f s\n", reader.c_str(), count,
              seeds.size(), double(NowMs() - start) / 1000.0);
}

std::string ScratchFolder() {
  struct Scratch {
    std::string path;
    Scratch() {
      char base[MAX_PATH];
      GetTempPathA(sizeof base, base);
      char name[MAX_PATH + 64];
      std::snprintf(name, sizeof name, "%ssolvane-fuzz-%lu", base, GetCurrentProcessId());
      path = name;
      CreateDirectoryA(name, nullptr);
    }
    ~Scratch() { testing_support::DeleteTree(path); }
  };
  static const Scratch scratch;
  return scratch.path;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

std::string ReadWholeFile(const std::string& path) {
  std::string bytes;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return bytes;
  char chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  std::fclose(file);
  return bytes;
}

}  // namespace fuzz
