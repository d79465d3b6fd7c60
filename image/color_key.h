// The colour key: a source texel equal to the key, alpha included, becomes transparent black.
#pragma once

#include <cstddef>
#include <cstdint>

namespace imaging {

// A key of 0 means no key (as in D3DX), so nothing changes.
void ApplyColorKey(uint32_t* texels, size_t count, uint32_t key);

}  // namespace imaging
