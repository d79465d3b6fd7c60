// Opening the product's settings key. The machine-wide copy lives under HKEY_LOCAL_MACHINE;
// a standard user cannot write there, so a per-user copy under HKEY_CURRENT_USER is read over
// it and takes the writes that the machine-wide key refuses. Tests replace the openers to make
// either place fail.
#pragma once

#include <windows.h>

enum class KeyOpen { Create, Existing };

using RegistryOpenFn = LONG (*)(const char* path, REGSAM access, KeyOpen how, HKEY* key);

struct RegistryOpeners {
  RegistryOpenFn openMachine;  // HKEY_LOCAL_MACHINE\path
  RegistryOpenFn openUser;     // HKEY_CURRENT_USER\path
};
extern RegistryOpeners g_registryOpeners;

LONG OpenMachineKey(const char* path, REGSAM access, KeyOpen how, HKEY* key);
LONG OpenUserKey(const char* path, REGSAM access, KeyOpen how, HKEY* key);

// Closes the key on scope exit.
class ScopedKey {
 public:
  ScopedKey() = default;
  ~ScopedKey() { Reset(); }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  HKEY* Receive() {
    Reset();
    return &key_;
  }
  HKEY get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }
  void Reset() {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_ = nullptr;
};
