// Texture and cube-texture loading from picture files (JPEG, PNG, BMP, DDS, TGA), under the
// D3DX 8 names and signatures.
#pragma once

#include <windows.h>
#include <d3d8.h>

#include "d3dx/d3dx8_image_info.h"

#ifndef D3DX_DEFAULT
#define D3DX_DEFAULT ((UINT)-1)
#endif

#define D3DX_FILTER_NONE (1 << 0)
#define D3DX_FILTER_POINT (2 << 0)
#define D3DX_FILTER_LINEAR (3 << 0)
#define D3DX_FILTER_TRIANGLE (4 << 0)
#define D3DX_FILTER_BOX (5 << 0)
#define D3DX_FILTER_MIRROR_U (1 << 16)
#define D3DX_FILTER_MIRROR_V (2 << 16)
#define D3DX_FILTER_MIRROR_W (4 << 16)
#define D3DX_FILTER_MIRROR (7 << 16)
#define D3DX_FILTER_DITHER (8 << 16)

#ifndef D3DXERR_INVALIDDATA
#define D3DXERR_INVALIDDATA ((HRESULT)0x88760B59L)
#endif

// Failures of the loaders besides the Direct3D ones: the file is not a picture we know or
// contradicts itself (D3DXERR_INVALIDDATA), a variant we do not decode, data cut short,
// dimensions too large to allocate.
#define D3DX_TEX_E_INVALIDDATA D3DXERR_INVALIDDATA
#define D3DX_TEX_E_UNSUPPORTED ((HRESULT)0x80070032L)
#define D3DX_TEX_E_TRUNCATED ((HRESULT)0x80070026L)
#define D3DX_TEX_E_TOOLARGE ((HRESULT)0x80070216L)

#ifdef __cplusplus
extern "C" {
#endif

// Width/Height 0 or D3DX_DEFAULT take the file's size (rounded up to powers of two where the
// device needs it); MipLevels 0 or D3DX_DEFAULT make a full chain; Format D3DFMT_UNKNOWN picks
// one from the file (with alpha when it has alpha or ColorKey is not 0). A texel equal to
// ColorKey (alpha included) becomes transparent black. pSrcInfo (optional) receives the file's
// own description; pPalette is accepted and left untouched (no palettised textures are made).
// On failure *ppTexture is NULL.
HRESULT WINAPI D3DXCreateTextureFromFileInMemoryEx(
    LPDIRECT3DDEVICE8 pDevice, LPCVOID pSrcData, UINT SrcDataSize, UINT Width, UINT Height,
    UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
    D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
    LPDIRECT3DTEXTURE8* ppTexture);

HRESULT WINAPI D3DXCreateTextureFromFileExA(
    LPDIRECT3DDEVICE8 pDevice, LPCSTR pSrcFile, UINT Width, UINT Height, UINT MipLevels,
    DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
    D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
    LPDIRECT3DTEXTURE8* ppTexture);

// The file's size and format, a full mip chain, managed pool, default filters, no colour key.
HRESULT WINAPI D3DXCreateTextureFromFileInMemory(LPDIRECT3DDEVICE8 pDevice, LPCVOID pSrcData,
                                                 UINT SrcDataSize,
                                                 LPDIRECT3DTEXTURE8* ppTexture);
HRESULT WINAPI D3DXCreateTextureFromFileA(LPDIRECT3DDEVICE8 pDevice, LPCSTR pSrcFile,
                                          LPDIRECT3DTEXTURE8* ppTexture);

// Cube maps: a DDS cube map gives its six faces; any other picture fills all six.
HRESULT WINAPI D3DXCreateCubeTextureFromFileInMemoryEx(
    LPDIRECT3DDEVICE8 pDevice, LPCVOID pSrcData, UINT SrcDataSize, UINT Size, UINT MipLevels,
    DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
    D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
    LPDIRECT3DCUBETEXTURE8* ppCubeTexture);
HRESULT WINAPI D3DXCreateCubeTextureFromFileInMemory(LPDIRECT3DDEVICE8 pDevice,
                                                     LPCVOID pSrcData, UINT SrcDataSize,
                                                     LPDIRECT3DCUBETEXTURE8* ppCubeTexture);
HRESULT WINAPI D3DXCreateCubeTextureFromFileA(LPDIRECT3DDEVICE8 pDevice, LPCSTR pSrcFile,
                                              LPDIRECT3DCUBETEXTURE8* ppCubeTexture);

#ifdef __cplusplus
}
#endif
