// D3DXCreateCubeTextureFromFile*: a DDS cube map gives its six faces (+X, -X, +Y, -Y, +Z, -Z);
// any other picture is put on all six.
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

constexpr int kFaces = 6;

struct CubeSource {
  const DdsFile* blocks = nullptr;  // set when the file's blocks go in as they are
  std::vector<Image> faces;         // otherwise the six faces at level 0's size
  D3DFORMAT format = D3DFMT_UNKNOWN;
  uint32_t filter = 0;
  uint32_t mipFilter = 0;
};

HRESULT FillFace(IDirect3DCubeTexture8* cube, D3DCUBEMAP_FACES face, const CubeSource& source) {
  const DWORD levels = cube->GetLevelCount();
  const bool dither = ((source.filter | source.mipFilter) & kFilterDither) != 0;
  Image level;
  for (DWORD i = 0; i < levels; ++i) {
    D3DSURFACE_DESC desc;
    HRESULT hr = cube->GetLevelDesc(i, &desc);
    if (FAILED(hr)) return hr;
    D3DLOCKED_RECT locked;
    if (source.blocks != nullptr) {
      if (i >= source.blocks->mipLevels) break;
      hr = cube->LockRect(face, i, &locked, nullptr, 0);
      if (FAILED(hr)) return hr;
      WriteBlocks(source.blocks->surfaces[size_t(face) * source.blocks->mipLevels + i],
                  source.format, locked);
      cube->UnlockRect(face, i);
      continue;
    }
    Image next;
    hr = NextMipLevel(i == 0 ? source.faces[face] : level, desc.Width, desc.Height,
                      i == 0 ? source.filter : source.mipFilter, next);
    if (FAILED(hr)) return hr;
    level = std::move(next);
    hr = cube->LockRect(face, i, &locked, nullptr, 0);
    if (FAILED(hr)) return hr;
    WriteLevel(level, source.format, dither, locked);
    cube->UnlockRect(face, i);
  }
  return S_OK;
}

HRESULT CreateFilledCube(IDirect3DDevice8* device, UINT edge, UINT levels, DWORD usage,
                         D3DPOOL pool, const CubeSource& source, IDirect3DCubeTexture8** out) {
  const D3DPOOL fillPool = pool == D3DPOOL_DEFAULT ? D3DPOOL_SYSTEMMEM : pool;
  Microsoft::WRL::ComPtr<IDirect3DCubeTexture8> cube;
  HRESULT hr = device->CreateCubeTexture(edge, levels, pool == D3DPOOL_DEFAULT ? 0 : usage,
                                         source.format, fillPool, cube.GetAddressOf());
  for (int face = 0; SUCCEEDED(hr) && face < kFaces; ++face) {
    hr = FillFace(cube.Get(), D3DCUBEMAP_FACES(face), source);
  }
  if (SUCCEEDED(hr) && pool == D3DPOOL_DEFAULT) {
    Microsoft::WRL::ComPtr<IDirect3DCubeTexture8> target;
    hr = device->CreateCubeTexture(edge, cube->GetLevelCount(), usage, source.format, pool,
                                   target.GetAddressOf());
    if (SUCCEEDED(hr)) hr = device->UpdateTexture(cube.Get(), target.Get());
    cube = std::move(target);
  }
  if (FAILED(hr)) return hr;
  *out = cube.Detach();
  return S_OK;
}

HRESULT CreateCube(IDirect3DDevice8* device, const uint8_t* data, size_t size, UINT edgeWanted,
                   UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool, uint32_t filter,
                   uint32_t mipFilter, D3DCOLOR colorKey, SourceInfo& info,
                   IDirect3DCubeTexture8** out) {
  D3DCAPS8 caps;
  HRESULT hr = device->GetDeviceCaps(&caps);
  if (FAILED(hr)) return hr;
  if ((caps.TextureCaps & D3DPTEXTURECAPS_CUBEMAP) == 0) return D3DERR_NOTAVAILABLE;
  hr = ProbeImage(data, size, info);
  if (FAILED(hr)) return hr;
  const TextureSize chosen =
      ChooseTextureSize(edgeWanted, edgeWanted, info.width, info.width, ReadTextureLimits(device, true));
  UINT edge = chosen.width;
  // A picture that is not a cube map goes on six faces as wide as the picture: a long thin
  // picture in a small file must not make six faces of its width squared.
  while (!info.isCube && edge > 1 && uint64_t(edge) * edge * kFaces > kMaxImagePixels) edge /= 2;
  const UINT levels = ChooseMipLevels(mipLevels, edge, edge);
  CubeSource source;
  source.filter = filter;
  source.mipFilter = mipFilter;
  DdsFile file;
  if (info.isCube) {
    hr = ReadDds(data, size, file);
    if (FAILED(hr)) return hr;
    if (IsBlockCompressed(file.format) && colorKey == 0 && edge == file.width &&
        (format == D3DFMT_UNKNOWN || format == D3DFORMAT(file.format)) &&
        DeviceSupportsFormat(device, D3DRTYPE_CUBETEXTURE, usage, D3DFORMAT(file.format))) {
      source.blocks = &file;
      source.format = D3DFORMAT(file.format);
      return CreateFilledCube(device, edge, std::min(levels, file.mipLevels), usage, pool,
                              source, out);
    }
  }
  hr = PickFormat(device, D3DRTYPE_CUBETEXTURE, usage,
                  FormatCandidates(PixelFormat(format), info.hasAlpha, colorKey), &source.format);
  if (FAILED(hr)) return hr;
  DecodeOptions options;
  options.width = options.height = edge;
  options.filter = filter;
  options.colorKey = colorKey;
  try {
    source.faces.resize(kFaces);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  for (int face = 0; face < kFaces; ++face) {
    if (!info.isCube) {
      if (face == 0) {
        SourceInfo decodedInfo;
        hr = DecodeImage(data, size, options, source.faces[0], decodedInfo);
      } else {
        source.faces[face] = source.faces[0];
      }
    } else {
      Image whole;
      hr = DecodeDdsSurface(file, file.surfaces[size_t(face) * file.mipLevels], whole);
      if (SUCCEEDED(hr)) hr = FinishImage(whole, options, source.faces[face]);
    }
    if (FAILED(hr)) return hr;
  }
  return CreateFilledCube(device, edge, levels, usage, pool, source, out);
}

}  // namespace

extern "C" HRESULT WINAPI D3DXCreateCubeTextureFromFileInMemoryEx(
    LPDIRECT3DDEVICE8 pDevice, LPCVOID pSrcData, UINT SrcDataSize, UINT Size, UINT MipLevels,
    DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
    D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* /*pPalette*/,
    LPDIRECT3DCUBETEXTURE8* ppCubeTexture) {
  if (ppCubeTexture != nullptr) *ppCubeTexture = nullptr;
  if (pSrcInfo != nullptr) *pSrcInfo = D3DXIMAGE_INFO();
  if (pDevice == nullptr || pSrcData == nullptr || SrcDataSize == 0 || ppCubeTexture == nullptr) {
    return D3DERR_INVALIDCALL;
  }
  const uint32_t filter = ResolveFilter(Filter);
  const uint32_t mipFilter = ResolveMipFilter(MipFilter);
  if (!IsValidFilter(filter) || !IsValidFilter(mipFilter)) return D3DERR_INVALIDCALL;
  SourceInfo info;
  HRESULT hr = CreateCube(pDevice, static_cast<const uint8_t*>(pSrcData), SrcDataSize, Size,
                          MipLevels, Usage, Format, Pool, filter, mipFilter, ColorKey, info,
                          ppCubeTexture);
  if (SUCCEEDED(hr)) {
    FillImageInfo(info, info.isCube ? D3DRTYPE_CUBETEXTURE : D3DRTYPE_TEXTURE, pSrcInfo);
  }
  return hr;
}

extern "C" HRESULT WINAPI D3DXCreateCubeTextureFromFileInMemory(
    LPDIRECT3DDEVICE8 pDevice, LPCVOID pSrcData, UINT SrcDataSize,
    LPDIRECT3DCUBETEXTURE8* ppCubeTexture) {
  return D3DXCreateCubeTextureFromFileInMemoryEx(pDevice, pSrcData, SrcDataSize, D3DX_DEFAULT,
                                                 D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                                                 D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                                 nullptr, nullptr, ppCubeTexture);
}

extern "C" HRESULT WINAPI D3DXCreateCubeTextureFromFileA(LPDIRECT3DDEVICE8 pDevice,
                                                         LPCSTR pSrcFile,
                                                         LPDIRECT3DCUBETEXTURE8* ppCubeTexture) {
  if (ppCubeTexture != nullptr) *ppCubeTexture = nullptr;
  if (pDevice == nullptr || ppCubeTexture == nullptr) return D3DERR_INVALIDCALL;
  std::vector<uint8_t> bytes;
  HRESULT hr = ReadWholeFile(pSrcFile, bytes);
  if (FAILED(hr)) return hr;
  return D3DXCreateCubeTextureFromFileInMemory(pDevice, bytes.data(), UINT(bytes.size()),
                                               ppCubeTexture);
}
