// A picture decoded away from the device and uploaded later. The decode needs no device, so it
// can run on any thread; only the upload touches the device, on the device's own thread.
#pragma once

#include <windows.h>
#include <d3d8.h>

#include <atomic>
#include <cstdint>

#include "d3dx/d3dx8_image_info.h"
#include "image/image.h"

namespace imaging {

struct PictureImage {
  Image image;               // level 0 of the texture to be
  D3DXIMAGE_INFO info = {};  // the file's own size and format
  bool hasAlpha = false;     // the source has alpha or a colour key made texels transparent
};

// The file's picture at width x height (stretched, upright), the colour key applied to its
// texels before filtering, as D3DXCreateTextureFromFileEx would fill level 0; a file none of
// our decoders recognises goes to the system's codecs. On failure the
// picture is left empty with its info zeroed. keepGoing (may be null) turning false stops the
// decode between rows with E_ABORT.
HRESULT DecodePictureFile(const char* path, uint32_t width, uint32_t height, uint32_t filter,
                          D3DCOLOR colorKey, const std::atomic<bool>* keepGoing,
                          PictureImage& picture);

// A managed-pool texture holding the picture, with `levels` mip levels (0: the full chain),
// each further level filtered from the one above by mipFilter. A device that cannot take the
// picture's size gets it reduced to the largest size it can take.
HRESULT CreateTextureFromImage(IDirect3DDevice8* device, const PictureImage& picture,
                               uint32_t levels, uint32_t mipFilter, IDirect3DTexture8** texture);

}  // namespace imaging
