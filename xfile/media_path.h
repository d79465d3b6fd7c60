// Finding the files a mesh names: as given, by bare name in the current folder, or in the
// media folder of an installed DirectX 8.1 SDK.
#pragma once

#include <windows.h>

#include <cstddef>

// The SDK's media folder ending in "\Media\", or an empty text when there is none. The text
// lives in a process-wide buffer that the next call rewrites.
const char* GetMediaDirectory();

// Resolves name into output (outputSize bytes, the callers' 260 by default). S_OK with the
// path that opened; E_FAIL with the name itself (cut to fit) when nothing opened or the
// found path does not fit; E_INVALIDARG without output or name.
HRESULT FindMediaFile(char* output, const char* name, size_t outputSize = MAX_PATH);
