// Owners of GDI objects: a brush, bitmap, pen or font (DeleteObject) and a memory device
// context (DeleteDC), released on scope exit. Move-only, like the objects themselves.
#pragma once

#include <windows.h>

template <typename Handle, BOOL(WINAPI* Delete)(Handle)>
class ScopedGdi {
 public:
  ScopedGdi() = default;
  explicit ScopedGdi(Handle handle) : handle_(handle) {}
  ~ScopedGdi() { Reset(); }
  ScopedGdi(const ScopedGdi&) = delete;
  ScopedGdi& operator=(const ScopedGdi&) = delete;
  ScopedGdi(ScopedGdi&& other) noexcept : handle_(other.Detach()) {}
  ScopedGdi& operator=(ScopedGdi&& other) noexcept {
    if (this != &other) Reset(other.Detach());
    return *this;
  }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

  // Deletes the object held (if any) and takes `handle`.
  void Reset(Handle handle = nullptr) {
    if (handle_ != nullptr && handle != handle_) Delete(handle_);
    handle_ = handle;
  }
  Handle Detach() {
    Handle handle = handle_;
    handle_ = nullptr;
    return handle;
  }

 private:
  Handle handle_ = nullptr;
};

namespace scoped_gdi_detail {
inline BOOL WINAPI DeleteGdiObject(HGDIOBJ object) { return DeleteObject(object); }
}  // namespace scoped_gdi_detail

// Any object DeleteObject frees, held as its own type.
template <typename Handle>
class ScopedGdiObject {
 public:
  ScopedGdiObject() = default;
  explicit ScopedGdiObject(Handle handle) : owner_(handle) {}

  Handle get() const { return static_cast<Handle>(owner_.get()); }
  explicit operator bool() const { return static_cast<bool>(owner_); }
  void Reset(Handle handle = nullptr) { owner_.Reset(handle); }

 private:
  ScopedGdi<HGDIOBJ, scoped_gdi_detail::DeleteGdiObject> owner_;
};

using ScopedBrush = ScopedGdiObject<HBRUSH>;
using ScopedBitmap = ScopedGdiObject<HBITMAP>;
using ScopedMemoryDc = ScopedGdi<HDC, DeleteDC>;

// Selects an object into a device context and puts the previous one back on scope exit.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~ScopedSelect() {
    if (old_ != nullptr && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};
