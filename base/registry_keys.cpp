#include "base/registry_keys.h"

namespace {

LONG OpenUnder(HKEY root, const char* path, REGSAM access, KeyOpen how, HKEY* key) {
  *key = nullptr;
  LONG result;
  if (how == KeyOpen::Create) {
    result = RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                             key, nullptr);
  } else {
    result = RegOpenKeyExA(root, path, 0, access, key);
  }
  if (result != ERROR_SUCCESS) *key = nullptr;
  return result;
}

}  // namespace

LONG OpenMachineKey(const char* path, REGSAM access, KeyOpen how, HKEY* key) {
  return OpenUnder(HKEY_LOCAL_MACHINE, path, access, how, key);
}

LONG OpenUserKey(const char* path, REGSAM access, KeyOpen how, HKEY* key) {
  return OpenUnder(HKEY_CURRENT_USER, path, access, how, key);
}

RegistryOpeners g_registryOpeners = {OpenMachineKey, OpenUserKey};
