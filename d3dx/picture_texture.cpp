#include "d3dx/picture_texture.h"

#include <wrl/client.h>

#include <vector>

#include "image/image_decode.h"
#include "image/image_scale.h"
#include "image/texture_plan.h"
#include "image/wic_decoder.h"
#include "d3dx/texture_upload.h"

namespace imaging {

HRESULT DecodePictureFile(const char* path, uint32_t width, uint32_t height, uint32_t filter,
                          D3DCOLOR colorKey, const std::atomic<bool>* keepGoing,
                          PictureImage& picture) {
  picture = PictureImage();
  std::vector<uint8_t> bytes;
  HRESULT hr = ReadWholeFile(path, bytes, keepGoing);
  if (FAILED(hr)) return hr;
  DecodeOptions options;
  options.width = width;
  options.height = height;
  options.filter = filter;
  options.colorKey = colorKey;
  options.keepGoing = keepGoing;
  SourceInfo source;
  hr = DecodeAnyPicture(bytes.data(), bytes.size(), options, picture.image, source);
  if (FAILED(hr)) {
    picture = PictureImage();
    return hr;
  }
  FillImageInfo(source, D3DRTYPE_TEXTURE, &picture.info);
  picture.hasAlpha = source.hasAlpha || colorKey != 0;
  return S_OK;
}

HRESULT CreateTextureFromImage(IDirect3DDevice8* device, const PictureImage& picture,
                               uint32_t levels, uint32_t mipFilter, IDirect3DTexture8** texture) {
  const Image& image = picture.image;
  if (texture == nullptr) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  if (device == nullptr || image.width == 0 || image.height == 0) return D3DERR_INVALIDCALL;
  const TextureSize size = ChooseTextureSize(image.width, image.height, image.width,
                                             image.height, ReadTextureLimits(device, false));
  Image top;
  if (size.width != image.width || size.height != image.height) {
    DecodeOptions options;
    options.width = size.width;
    options.height = size.height;
    Image source = image;
    const HRESULT hr = FinishImage(source, options, top);
    if (FAILED(hr)) return hr;
  } else {
    top = image;
  }
  D3DFORMAT format = D3DFMT_UNKNOWN;
  HRESULT hr = PickFormat(device, D3DRTYPE_TEXTURE, 0,
                          FormatCandidates(PixelFormat::Unknown, picture.hasAlpha, 0),
                          &format);
  if (FAILED(hr)) return hr;
  Microsoft::WRL::ComPtr<IDirect3DTexture8> created;
  hr = device->CreateTexture(top.width, top.height, ChooseMipLevels(levels, top.width, top.height),
                             0, format, D3DPOOL_MANAGED, &created);
  if (FAILED(hr)) return hr;
  hr = FillTexture(created.Get(), std::move(top), format, kFilterLinear, mipFilter);
  if (FAILED(hr)) return hr;
  *texture = created.Detach();
  return S_OK;
}

}  // namespace imaging
