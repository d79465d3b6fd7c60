// The few Windows result types the pure readers use, so that they also build without Windows
// (the sanitizer and fuzzing build on Linux). On Windows they are the system's own.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>

using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
#endif
