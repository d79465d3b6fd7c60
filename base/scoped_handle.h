// Closes a kernel handle (file, mapping, event ...) on scope exit. CreateFile fails with
// INVALID_HANDLE_VALUE and most other openers with null, so both count as empty.
#pragma once

#include <windows.h>

class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() { Reset(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.Detach()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) Reset(other.Detach());
    return *this;
  }

  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  explicit operator bool() const { return valid(); }

  // Closes the handle held (if any) and takes `handle`.
  void Reset(HANDLE handle = nullptr) {
    if (valid() && handle != handle_) CloseHandle(handle_);
    handle_ = handle;
  }
  // Gives the handle up without closing it.
  HANDLE Detach() {
    HANDLE handle = handle_;
    handle_ = nullptr;
    return handle;
  }

 private:
  HANDLE handle_ = nullptr;
};

// Frees a loaded module (LoadLibrary) on scope exit.
class ScopedModule {
 public:
  ScopedModule() = default;
  explicit ScopedModule(HMODULE module) : module_(module) {}
  ~ScopedModule() { Reset(); }
  ScopedModule(const ScopedModule&) = delete;
  ScopedModule& operator=(const ScopedModule&) = delete;

  HMODULE get() const { return module_; }
  explicit operator bool() const { return module_ != nullptr; }
  // Looks up an export as a function pointer of type Fn; null when the module or name is missing.
  template <typename Fn>
  Fn Find(const char* name) const {
    if (module_ == nullptr) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }
  void Reset(HMODULE module = nullptr) {
    if (module_ != nullptr && module != module_) FreeLibrary(module_);
    module_ = module;
  }

 private:
  HMODULE module_ = nullptr;
};
