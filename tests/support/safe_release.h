// Tests release the objects they make by hand; the program itself holds every COM object in a
// ComPtr. Releasing a cleared reference does nothing.
#pragma once

template <typename T>
void SafeRelease(T*& object) {
  if (object != nullptr) {
    object->Release();
    object = nullptr;
  }
}
