// Picture textures of the slideshow: each picture is decoded once, off the frame loop, as a
// square image of the edge its slot needs on screen, whatever the size of the photograph; its
// true proportions are kept in the slot's aspect factors.
#pragma once

#include <windows.h>
#include <d3d8.h>
#include <wrl/client.h>

#include <cstdint>

#include "d3dx/picture_texture.h"

// RGB 240, 240, 240 in a picture or gradient becomes transparent black.
constexpr D3DCOLOR kPictureColorKey = 0xFFF0F0F0;

// Fills `texture` on the device from a decoded picture with `levels` mip levels (0: the full
// chain). An empty picture (its file failed to decode) leaves the texture null.
HRESULT UploadPicture(IDirect3DDevice8* device, const imaging::PictureImage& picture,
                      uint32_t levels, Microsoft::WRL::ComPtr<IDirect3DTexture8>& texture);
// Pictures decoded larger than 256 x 256 get a mip chain, so that reflections and far slots do
// not shimmer.
uint32_t PictureLevels(const imaging::PictureImage& picture);
