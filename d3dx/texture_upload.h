// Direct3D side of the texture loaders: device limits, format support, filling locked levels.
#pragma once

#include <windows.h>
#include <d3d8.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "d3dx/d3dx8_image_info.h"
#include "image/dds_reader.h"
#include "image/image.h"
#include "image/texture_plan.h"

namespace imaging {

TextureLimits ReadTextureLimits(IDirect3DDevice8* device, bool cube);

// Whether the device takes `format` for `type` with `usage` on its current display format.
bool DeviceSupportsFormat(IDirect3DDevice8* device, D3DRESOURCETYPE type, DWORD usage,
                          D3DFORMAT format);

// The first candidate the device supports; D3DERR_NOTAVAILABLE when none is.
HRESULT PickFormat(IDirect3DDevice8* device, D3DRESOURCETYPE type, DWORD usage,
                   const std::vector<PixelFormat>& candidates, D3DFORMAT* chosen);

// Writes `image` (exactly the locked level's size) into a locked level.
void WriteLevel(const Image& image, D3DFORMAT format, bool dither, const D3DLOCKED_RECT& locked);

// Fills every level of `texture` from `top` (level 0's size), each next level filtered from the
// one above it by mipFilter; filter's dither flag dithers the conversion.
HRESULT FillTexture(IDirect3DTexture8* texture, Image top, D3DFORMAT format, uint32_t filter,
                    uint32_t mipFilter);
// Copies a DXT surface's rows of blocks into a locked level of the same format and size.
void WriteBlocks(const DdsSurface& surface, D3DFORMAT format, const D3DLOCKED_RECT& locked);

// The next level of a chain, by the mip filter (none behaves as point).
HRESULT NextMipLevel(const Image& previous, uint32_t width, uint32_t height, uint32_t mipFilter,
                     Image& next);

// Filters as D3DX resolves D3DX_DEFAULT: triangle with dither for levels, box for the chain.
uint32_t ResolveFilter(DWORD filter);
uint32_t ResolveMipFilter(DWORD filter);

void FillImageInfo(const SourceInfo& source, D3DRESOURCETYPE type, D3DXIMAGE_INFO* info);

// The whole file (512 MB at most) into memory, the file loaders then call the memory ones; an
// empty file is no picture.
HRESULT ReadWholeFile(const char* path, std::vector<uint8_t>& bytes,
                      const std::atomic<bool>* keepGoing = nullptr);

}  // namespace imaging
