// Counting wrappers for the C heap. The fuzz executables link with --wrap for malloc, calloc,
// realloc and free, so every allocation of the statically linked code (our readers, libjpeg,
// libpng, zlib and the C++ runtime's operator new) passes here. The block sizes come from the
// heap itself (_msize), so blocks that cross between wrapped and unwrapped code still count
// right.
#include <malloc.h>

#include <atomic>
#include <cstddef>
#include <cstdint>

extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* block, size_t size);
void __real_free(void* block);
}

namespace {

std::atomic<uint64_t> live{0};
std::atomic<uint64_t> peak{0};
std::atomic<bool> active{false};

// A request this large is refused outright: it could only come from a header the reader
// failed to check, and granting it would take the machine down with the test.
constexpr uint64_t kRefuse = 1ull << 30;

void Added(void* block) {
  if (block == nullptr) return;
  active.store(true, std::memory_order_relaxed);
  const uint64_t now = live.fetch_add(_msize(block), std::memory_order_relaxed) + _msize(block);
  uint64_t seen = peak.load(std::memory_order_relaxed);
  while (now > seen && !peak.compare_exchange_weak(seen, now, std::memory_order_relaxed)) {
  }
}

void Removed(void* block) {
  if (block != nullptr) live.fetch_sub(_msize(block), std::memory_order_relaxed);
}

// Refused requests still show in the peak, so the case that made one fails its bound.
bool Refused(uint64_t size) {
  if (size < kRefuse) return false;
  const uint64_t now = live.load(std::memory_order_relaxed) + size;
  uint64_t seen = peak.load(std::memory_order_relaxed);
  while (now > seen && !peak.compare_exchange_weak(seen, now, std::memory_order_relaxed)) {
  }
  return true;
}

}  // namespace

extern "C" {

void* __wrap_malloc(size_t size) {
  if (Refused(size)) return nullptr;
  void* block = __real_malloc(size);
  Added(block);
  return block;
}

void* __wrap_calloc(size_t count, size_t size) {
  if (size != 0 && count > SIZE_MAX / size) return nullptr;
  if (Refused(uint64_t(count) * size)) return nullptr;
  void* block = __real_calloc(count, size);
  Added(block);
  return block;
}

void* __wrap_realloc(void* block, size_t size) {
  if (Refused(size)) return nullptr;
  const uint64_t before = block != nullptr ? _msize(block) : 0;
  void* moved = __real_realloc(block, size);
  if (moved != nullptr) {
    live.fetch_sub(before, std::memory_order_relaxed);
    Added(moved);
  } else if (size == 0) {
    live.fetch_sub(before, std::memory_order_relaxed);
  }
  return moved;
}

void __wrap_free(void* block) {
  Removed(block);
  __real_free(block);
}

}  // extern "C"

namespace fuzz {

uint64_t LiveHeapBytes() { return live.load(); }
uint64_t PeakHeapBytes() { return peak.load(); }
void ResetPeakHeap() { peak.store(live.load()); }
bool AllocationHooksActive() { return active.load(); }

}  // namespace fuzz
