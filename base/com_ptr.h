// Taking over a reference that a factory function handed back. MinGW-w64's ComPtr::Attach
// adds a reference of its own (unlike the documented behaviour), which would leak the object,
// so ownership is taken through the address instead.
#pragma once

#include <wrl/client.h>

template <typename T>
Microsoft::WRL::ComPtr<T> AdoptComPtr(T* reference) {
  Microsoft::WRL::ComPtr<T> owner;
  *owner.GetAddressOf() = reference;
  return owner;
}
