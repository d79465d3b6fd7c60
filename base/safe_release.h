// One owner releases each COM object and clears its reference; releasing a cleared
// reference does nothing.
#pragma once

template <typename T>
void SafeRelease(T*& object) {
  if (object != nullptr) {
    object->Release();
    object = nullptr;
  }
}
