// What a process holds, read from outside: used by the gallery benchmarks and the soak run.
#pragma once

#include <windows.h>
#include <psapi.h>

namespace holdings {

// What a process holds: private bytes and its GDI, USER and kernel handle counts. Wine
// answers 0 for PrivateUsage (its PagefileUsage, resident anonymous memory, stands in), and
// for GetGuiResources and GetProcessHandleCount; for this process the counts are then taken
// another way: the GDI objects in the process's GDI handle table, the windows of the process
// for USER, and the handle values that name a handle for kernel objects.
struct Holdings {
  double privateMB = 0.0;
  DWORD gdiObjects = 0;
  DWORD userObjects = 0;
  DWORD kernelHandles = 0;
};

namespace detail {

// The GDI handle table the PEB (TEB + 0x60) points to (64-bit layout: 24-byte entries, type at byte 14,
// stock flag in the top bit of byte 12); stock objects are not counted.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"  // MinGW's NtCurrentTeb reads gs:0x30
inline DWORD GdiTableCount() {
  const auto* teb = reinterpret_cast<const unsigned char*>(NtCurrentTeb());
  const auto* peb = *reinterpret_cast<const unsigned char* const*>(teb + 0x60);
  const unsigned char* table = *reinterpret_cast<const unsigned char* const*>(peb + 0xF8);
  if (table == nullptr) return 0;
  DWORD count = 0;
  for (size_t i = 0; i < 0x10000; ++i) {
    const unsigned char* entry = table + i * 24;
    if (entry[14] != 0 && (entry[12] & 0x80) == 0) ++count;
  }
  return count;
}
#pragma GCC diagnostic pop

inline BOOL CALLBACK CountWindow(HWND window, LPARAM data) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == GetCurrentProcessId()) {
    ++*reinterpret_cast<DWORD*>(data);
    EnumChildWindows(window, CountWindow, data);
  }
  return TRUE;
}

inline DWORD KernelHandlesByProbing() {
  DWORD count = 0;
  for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
    DWORD flags;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

}  // namespace detail

inline Holdings ReadHoldings(HANDLE process) {
  Holdings h;
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof counters)) {
    // Private bytes are the commit charge, which the page-file usage reports as well.
    const SIZE_T privateBytes =
        counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
    h.privateMB = double(privateBytes) / (1024.0 * 1024.0);
  }
  h.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
  h.userObjects = GetGuiResources(process, GR_USEROBJECTS);
  GetProcessHandleCount(process, &h.kernelHandles);
  if (GetProcessId(process) == GetCurrentProcessId()) {
    if (h.gdiObjects == 0) h.gdiObjects = detail::GdiTableCount();
    if (h.userObjects == 0) EnumWindows(detail::CountWindow, reinterpret_cast<LPARAM>(&h.userObjects));
    if (h.kernelHandles == 0) h.kernelHandles = detail::KernelHandlesByProbing();
  }
  return h;
}

}  // namespace holdings
