// D3DXCreateTextureFromFile*: decode, resample, key, convert, and fill a texture's levels.
#include "d3dx/d3dx8_tex.h"

#include <wrl/client.h>

#include <utility>
#include <vector>

#include "image/dds_reader.h"
#include "image/image_decode.h"
#include "image/image_scale.h"
#include "image/pixel_formats.h"
#include "d3dx/texture_upload.h"

using namespace imaging;

namespace {

// DXT data the device takes as it is, at the file's own size, goes in without decoding.
HRESULT FillFromBlocks(IDirect3DTexture8* texture, const DdsFile& file, D3DFORMAT format) {
  const DWORD levels = texture->GetLevelCount();
  for (DWORD level = 0; level < levels && level < file.mipLevels; ++level) {
    D3DLOCKED_RECT locked;
    HRESULT hr = texture->LockRect(level, &locked, nullptr, 0);
    if (FAILED(hr)) return hr;
    WriteBlocks(file.surfaces[level], format, locked);
    texture->UnlockRect(level);
  }
  return S_OK;
}

// Default-pool textures cannot be locked: fill a system-memory twin and copy it over.
HRESULT CreateFilled(IDirect3DDevice8* device, UINT width, UINT height, UINT levels, DWORD usage,
                     D3DFORMAT format, D3DPOOL pool,
                     HRESULT (*fill)(IDirect3DTexture8*, void*), void* context,
                     IDirect3DTexture8** out) {
  const D3DPOOL fillPool = pool == D3DPOOL_DEFAULT ? D3DPOOL_SYSTEMMEM : pool;
  const DWORD fillUsage = pool == D3DPOOL_DEFAULT ? 0 : usage;
  Microsoft::WRL::ComPtr<IDirect3DTexture8> texture;
  HRESULT hr = device->CreateTexture(width, height, levels, fillUsage, format, fillPool,
                                     texture.GetAddressOf());
  if (SUCCEEDED(hr)) hr = fill(texture.Get(), context);
  if (SUCCEEDED(hr) && pool == D3DPOOL_DEFAULT) {
    Microsoft::WRL::ComPtr<IDirect3DTexture8> target;
    hr = device->CreateTexture(width, height, texture->GetLevelCount(), usage, format, pool,
                               target.GetAddressOf());
    if (SUCCEEDED(hr)) hr = device->UpdateTexture(texture.Get(), target.Get());
    texture = std::move(target);
  }
  if (FAILED(hr)) return hr;
  *out = texture.Detach();
  return S_OK;
}

struct ImageFill {
  Image* top;
  D3DFORMAT format;
  uint32_t filter;
  uint32_t mipFilter;
};

struct BlockFill {
  const DdsFile* file;
  D3DFORMAT format;
};

HRESULT FillImage(IDirect3DTexture8* texture, void* context) {
  auto* f = static_cast<ImageFill*>(context);
  return FillTexture(texture, std::move(*f->top), f->format, f->filter, f->mipFilter);
}

HRESULT FillBlocks(IDirect3DTexture8* texture, void* context) {
  auto* f = static_cast<BlockFill*>(context);
  return FillFromBlocks(texture, *f->file, f->format);
}

HRESULT CreateTexture(IDirect3DDevice8* device, const uint8_t* data, size_t size, UINT width,
                      UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                      uint32_t filter, uint32_t mipFilter, D3DCOLOR colorKey, SourceInfo& source,
                      IDirect3DTexture8** out) {
  HRESULT hr = ProbeImage(data, size, source);
  if (FAILED(hr)) return hr;
  const TextureSize chosen =
      ChooseTextureSize(width, height, source.width, source.height, ReadTextureLimits(device, false));
  const UINT levels = ChooseMipLevels(mipLevels, chosen.width, chosen.height);

  // Block-compressed DDS at its own size and with its own levels: straight in when possible.
  if (source.fileFormat == FileFormat::Dds && IsBlockCompressed(source.format) &&
      colorKey == 0 && chosen.width == source.width && chosen.height == source.height &&
      (format == D3DFMT_UNKNOWN || format == D3DFORMAT(source.format)) &&
      DeviceSupportsFormat(device, D3DRTYPE_TEXTURE, usage, D3DFORMAT(source.format))) {
    DdsFile file;
    hr = ReadDds(data, size, file);
    if (FAILED(hr)) return hr;
    BlockFill fill{&file, D3DFORMAT(source.format)};
    return CreateFilled(device, chosen.width, chosen.height, std::min(levels, file.mipLevels),
                        usage, fill.format, pool, FillBlocks, &fill, out);
  }

  D3DFORMAT target = D3DFMT_UNKNOWN;
  hr = PickFormat(device, D3DRTYPE_TEXTURE, usage,
                  FormatCandidates(PixelFormat(format), source.hasAlpha, colorKey), &target);
  if (FAILED(hr)) return hr;
  DecodeOptions options;
  options.width = chosen.width;
  options.height = chosen.height;
  options.filter = filter;
  options.colorKey = colorKey;
  Image top;
  hr = DecodeImage(data, size, options, top, source);
  if (FAILED(hr)) return hr;
  ImageFill fill{&top, target, filter, mipFilter};
  return CreateFilled(device, chosen.width, chosen.height, levels, usage, target, pool, FillImage,
                      &fill, out);
}

}  // namespace

extern "C" HRESULT WINAPI D3DXCreateTextureFromFileInMemoryEx(
    LPDIRECT3DDEVICE8 pDevice, LPCVOID pSrcData, UINT SrcDataSize, UINT Width, UINT Height,
    UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
    D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* /*pPalette*/,
    LPDIRECT3DTEXTURE8* ppTexture) {
  if (ppTexture != nullptr) *ppTexture = nullptr;
  if (pSrcInfo != nullptr) *pSrcInfo = D3DXIMAGE_INFO();
  if (pDevice == nullptr || pSrcData == nullptr || SrcDataSize == 0 || ppTexture == nullptr) {
    return D3DERR_INVALIDCALL;
  }
  const uint32_t filter = ResolveFilter(Filter);
  const uint32_t mipFilter = ResolveMipFilter(MipFilter);
  if (!IsValidFilter(filter) || !IsValidFilter(mipFilter)) return D3DERR_INVALIDCALL;
  SourceInfo source;
  HRESULT hr = CreateTexture(pDevice, static_cast<const uint8_t*>(pSrcData), SrcDataSize, Width,
                             Height, MipLevels, Usage, Format, Pool, filter, mipFilter, ColorKey,
                             source, ppTexture);
  if (SUCCEEDED(hr)) FillImageInfo(source, D3DRTYPE_TEXTURE, pSrcInfo);
  return hr;
}

extern "C" HRESULT WINAPI D3DXCreateTextureFromFileExA(
    LPDIRECT3DDEVICE8 pDevice, LPCSTR pSrcFile, UINT Width, UINT Height, UINT MipLevels,
    DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
    D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
    LPDIRECT3DTEXTURE8* ppTexture) {
  if (ppTexture != nullptr) *ppTexture = nullptr;
  if (pSrcInfo != nullptr) *pSrcInfo = D3DXIMAGE_INFO();
  if (pDevice == nullptr || ppTexture == nullptr) return D3DERR_INVALIDCALL;
  std::vector<uint8_t> bytes;
  HRESULT hr = ReadWholeFile(pSrcFile, bytes);
  if (FAILED(hr)) return hr;
  return D3DXCreateTextureFromFileInMemoryEx(pDevice, bytes.data(), UINT(bytes.size()), Width,
                                             Height, MipLevels, Usage, Format, Pool, Filter,
                                             MipFilter, ColorKey, pSrcInfo, pPalette, ppTexture);
}

extern "C" HRESULT WINAPI D3DXCreateTextureFromFileInMemory(LPDIRECT3DDEVICE8 pDevice,
                                                            LPCVOID pSrcData, UINT SrcDataSize,
                                                            LPDIRECT3DTEXTURE8* ppTexture) {
  return D3DXCreateTextureFromFileInMemoryEx(pDevice, pSrcData, SrcDataSize, D3DX_DEFAULT,
                                             D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                                             D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                             nullptr, nullptr, ppTexture);
}

extern "C" HRESULT WINAPI D3DXCreateTextureFromFileA(LPDIRECT3DDEVICE8 pDevice, LPCSTR pSrcFile,
                                                     LPDIRECT3DTEXTURE8* ppTexture) {
  return D3DXCreateTextureFromFileExA(pDevice, pSrcFile, D3DX_DEFAULT, D3DX_DEFAULT,
                                      D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                      D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, ppTexture);
}
