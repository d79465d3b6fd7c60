#include "host/direct3d_loader.h"

IDirect3D8* WINAPI LoadDirect3D(UINT sdkVersion) {
  // The module stays loaded for the life of the process: the devices live in it.
  static HMODULE module = LoadLibraryA("d3d8.dll");
  if (module == nullptr) return nullptr;
  auto create = reinterpret_cast<Direct3DCreateFn>(
      reinterpret_cast<void*>(GetProcAddress(module, "Direct3DCreate8")));
  return create != nullptr ? create(sdkVersion) : nullptr;
}

Direct3DCreateFn g_createDirect3D = LoadDirect3D;
