// Device queries and level writing shared by the 2D and cube loaders.
#include "d3dx/texture_upload.h"

#include <wrl/client.h>

#include <cstring>

#include "image/image_scale.h"
#include "image/pixel_formats.h"
#include "base/whole_file.h"

namespace imaging {
namespace {

// Files beyond this are not pictures we would ever show.
constexpr uint64_t kMaxFileBytes = 512LL * 1024 * 1024;

}  // namespace

TextureLimits ReadTextureLimits(IDirect3DDevice8* device, bool cube) {
  TextureLimits limits;
  D3DCAPS8 caps;
  if (FAILED(device->GetDeviceCaps(&caps))) return limits;
  limits.powerOfTwo =
      (caps.TextureCaps & (cube ? D3DPTEXTURECAPS_CUBEMAP_POW2 : D3DPTEXTURECAPS_POW2)) != 0;
  limits.squareOnly = cube || (caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0;
  if (caps.MaxTextureWidth) limits.maxWidth = caps.MaxTextureWidth;
  if (caps.MaxTextureHeight) limits.maxHeight = caps.MaxTextureHeight;
  return limits;
}

bool DeviceSupportsFormat(IDirect3DDevice8* device, D3DRESOURCETYPE type, DWORD usage,
                          D3DFORMAT format) {
  Microsoft::WRL::ComPtr<IDirect3D8> d3d;
  if (FAILED(device->GetDirect3D(d3d.GetAddressOf())) || d3d == nullptr) return false;
  D3DDEVICE_CREATION_PARAMETERS params;
  D3DDISPLAYMODE mode;
  bool ok = SUCCEEDED(device->GetCreationParameters(&params)) &&
            SUCCEEDED(device->GetDisplayMode(&mode)) &&
            SUCCEEDED(d3d->CheckDeviceFormat(params.AdapterOrdinal, params.DeviceType,
                                             mode.Format, usage, type, format));
  return ok;
}

HRESULT PickFormat(IDirect3DDevice8* device, D3DRESOURCETYPE type, DWORD usage,
                   const std::vector<PixelFormat>& candidates, D3DFORMAT* chosen) {
  for (PixelFormat f : candidates) {
    if (DeviceSupportsFormat(device, type, usage, D3DFORMAT(f))) {
      *chosen = D3DFORMAT(f);
      return S_OK;
    }
  }
  return D3DERR_NOTAVAILABLE;
}

void WriteLevel(const Image& image, D3DFORMAT format, bool dither, const D3DLOCKED_RECT& locked) {
  auto* base = static_cast<uint8_t*>(locked.pBits);
  for (uint32_t y = 0; y < image.height; ++y) {
    PackRow(image.Row(y), image.width, y, PixelFormat(format), dither,
            base + size_t(y) * locked.Pitch);
  }
}

void WriteBlocks(const DdsSurface& surface, D3DFORMAT format, const D3DLOCKED_RECT& locked) {
  const size_t rowBytes = size_t((surface.width + 3) / 4) * (format == D3DFMT_DXT1 ? 8 : 16);
  const uint32_t rows = (surface.height + 3) / 4;
  auto* base = static_cast<uint8_t*>(locked.pBits);
  for (uint32_t y = 0; y < rows; ++y) {
    std::memcpy(base + size_t(y) * locked.Pitch, surface.data + y * rowBytes, rowBytes);
  }
}

HRESULT NextMipLevel(const Image& previous, uint32_t width, uint32_t height, uint32_t mipFilter,
                     Image& next) {
  uint32_t filter = mipFilter;
  if ((filter & 0xFF) == kFilterNone) filter = (filter & ~0xFFu) | kFilterPoint;
  return ScaleImage(previous, width, height, filter, next);
}

uint32_t ResolveFilter(DWORD filter) {
  return filter == kDefaultValue ? (kFilterTriangle | kFilterDither) : filter;
}

uint32_t ResolveMipFilter(DWORD filter) {
  return filter == kDefaultValue ? kFilterBox : filter;
}

void FillImageInfo(const SourceInfo& source, D3DRESOURCETYPE type, D3DXIMAGE_INFO* info) {
  if (info == nullptr) return;
  info->Width = source.width;
  info->Height = source.height;
  info->Depth = 1;
  info->MipLevels = source.mipLevels;
  info->Format = D3DFORMAT(source.format);
  info->ResourceType = type;
  info->ImageFileFormat = D3DXIMAGE_FILEFORMAT(source.fileFormat);
}

HRESULT ReadWholeFile(const char* path, std::vector<uint8_t>& bytes,
                      const std::atomic<bool>* keepGoing) {
  if (path == nullptr) return D3DERR_INVALIDCALL;
  const HRESULT hr = ::ReadWholeFile(path, kMaxFileBytes, bytes, keepGoing);
  if (SUCCEEDED(hr) && bytes.empty()) return HRESULT(kImageInvalid);
  return hr;
}

// Fills every level of `texture` from `top` (level 0's size), each next level filtered from the
// one above it.
HRESULT FillTexture(IDirect3DTexture8* texture, Image top, D3DFORMAT format, uint32_t filter,
                    uint32_t mipFilter) {
  const DWORD levels = texture->GetLevelCount();
  const bool dither = (filter & kFilterDither) != 0;
  for (DWORD level = 0; level < levels; ++level) {
    D3DSURFACE_DESC desc;
    HRESULT hr = texture->GetLevelDesc(level, &desc);
    if (FAILED(hr)) return hr;
    if (level > 0) {
      Image next;
      hr = NextMipLevel(top, desc.Width, desc.Height, mipFilter, next);
      if (FAILED(hr)) return hr;
      top = std::move(next);
    }
    if (top.width != desc.Width || top.height != desc.Height) return E_FAIL;
    D3DLOCKED_RECT locked;
    hr = texture->LockRect(level, &locked, nullptr, 0);
    if (FAILED(hr)) return hr;
    WriteLevel(top, format, dither || (mipFilter & kFilterDither) != 0, locked);
    texture->UnlockRect(level);
  }
  return S_OK;
}

}  // namespace imaging
