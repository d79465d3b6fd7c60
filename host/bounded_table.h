// A table of at most N records that knows how many it holds: the monitor, adapter and output
// tables of the host. Indexes come from other tables and from the registry, so every access is
// checked here once instead of at each use.
#pragma once

#include <cstddef>
#include <cstdint>

template <typename T, unsigned N>
class BoundedTable {
 public:
  static constexpr unsigned kCapacity = N;

  uint32_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  bool full() const { return count_ >= N; }

  // Null when `index` is negative or not below size().
  T* at(int64_t index) { return Contains(index) ? &items_[index] : nullptr; }
  const T* at(int64_t index) const { return Contains(index) ? &items_[index] : nullptr; }
  // Out of range reads see an empty record and writes go nowhere: a stale index must not
  // reach another table's memory.
  T& operator[](int64_t index) {
    if (Contains(index)) return items_[index];
    spare_ = T();
    return spare_;
  }
  const T& operator[](int64_t index) const {
    static const T kEmpty{};
    return Contains(index) ? items_[index] : kEmpty;
  }

  // Appends a value-initialised record; null (and nothing added) when the table is full.
  T* Append() {
    if (full()) return nullptr;
    items_[count_] = T();
    return &items_[count_++];
  }
  bool push_back(T value) {
    T* slot = Append();
    if (slot == nullptr) return false;
    *slot = static_cast<T&&>(value);
    return true;
  }
  void pop_back() {
    if (count_ > 0) items_[--count_] = T();
  }
  void clear() {
    while (count_ > 0) pop_back();
  }

  T* begin() { return items_; }
  T* end() { return items_ + count_; }
  const T* begin() const { return items_; }
  const T* end() const { return items_ + count_; }

 private:
  bool Contains(int64_t index) const { return index >= 0 && index < int64_t{count_}; }

  T items_[N]{};
  uint32_t count_ = 0;
  T spare_{};
};
