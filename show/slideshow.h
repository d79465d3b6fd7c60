// Picture loading of the slideshow: each picture becomes a small fixed-size texture whatever
// the size of the photograph; its true proportions are kept in the slot's aspect factors.
#pragma once

#include <windows.h>
#include <d3d8.h>

#include "d3dx/d3dx8_tex.h"

using TextureFileLoader = decltype(&D3DXCreateTextureFromFileExA);
// D3DXCreateTextureFromFileExA unless a test replaced it.
extern TextureFileLoader g_textureFileLoader;

// RGB 240, 240, 240 in a picture or gradient becomes transparent black.
constexpr D3DCOLOR kPictureColorKey = 0xFFF0F0F0;

// A picture as a 256 x 256 texture with one mip level. info (optional) receives the file's own
// size and is zeroed when the load fails; *texture is null then.
HRESULT LoadPictureTexture(IDirect3DDevice8* device, const char* path, D3DCOLOR colorKey,
                           D3DXIMAGE_INFO* info, IDirect3DTexture8** texture);
