#include "render/state_sets.h"

#include <cstring>

#include "d3dx/d3dx8_math.h"

namespace {

// Half a mip level towards the larger texture: sharp while a picture is magnified at most
// by the square root of two along its less minified axis.
constexpr float kPictureLodBias = -0.5f;

struct SetRow {
  DWORD cullMode;
  DWORD colorArg1;
  BOOL specular;
  bool picture;  // samples a picture texture
};

// A picture is minified more along one axis than the other where it stands turned, and where
// its square texture is squeezed to the picture's shape; trilinear filtering then takes the mip
// level of the more minified axis for both and blurs the other. Anisotropic filtering, where the
// device has it, samples along that axis from the sharper level; elsewhere a small negative bias
// keeps trilinear filtering nearer the sharper level.
void SetTextureFiltering(IDirect3DDevice8* device, bool picture) {
  D3DCAPS8 caps = {};
  const bool anisotropic = picture && SUCCEEDED(device->GetDeviceCaps(&caps)) &&
                           (caps.TextureFilterCaps & D3DPTFILTERCAPS_MINFANISOTROPIC) != 0 &&
                           caps.MaxAnisotropy > 1;
  const float bias = picture && !anisotropic ? kPictureLodBias : 0.0f;
  DWORD biasBits;
  std::memcpy(&biasBits, &bias, sizeof biasBits);
  device->SetTextureStageState(0, D3DTSS_MINFILTER,
                               anisotropic ? D3DTEXF_ANISOTROPIC : D3DTEXF_LINEAR);
  device->SetTextureStageState(0, D3DTSS_MAXANISOTROPY, anisotropic ? caps.MaxAnisotropy : 1);
  device->SetTextureStageState(0, D3DTSS_MIPMAPLODBIAS, biasBits);
}

void Apply(IDirect3DDevice8* device, const SetRow& row, D3DCOLOR ambient) {
  device->SetRenderState(D3DRS_CULLMODE, row.cullMode);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, row.colorArg1);
  device->SetRenderState(D3DRS_SPECULARENABLE, row.specular);
  // The common tail of every set.
  SetTextureFiltering(device, row.picture);
  device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
  device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
  device->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
  device->SetRenderState(D3DRS_DITHERENABLE, FALSE);
  device->SetRenderState(D3DRS_ZENABLE, TRUE);
  device->SetRenderState(D3DRS_AMBIENT, ambient);
}

}  // namespace

void ApplyFrameStates(IDirect3DDevice8* device, D3DCOLOR ambient) {
  Apply(device, {D3DCULL_NONE, D3DTA_CURRENT, FALSE, false}, ambient);
}

void ApplyPictureStates(IDirect3DDevice8* device, D3DCOLOR ambient) {
  Apply(device, {D3DCULL_NONE, D3DTA_TEXTURE, FALSE, true}, ambient);
}

void ApplyObjectStates(IDirect3DDevice8* device, D3DCOLOR ambient) {
  Apply(device, {D3DCULL_CCW, D3DTA_CURRENT, TRUE, false}, ambient);
}

void ApplyFallbackStates(IDirect3DDevice8* device, D3DCOLOR ambient) {
  Apply(device, {D3DCULL_CCW, D3DTA_TEXTURE, FALSE, true}, ambient);
}

void SetUpEnvironmentMap(IDirect3DDevice8* device, bool translucent) {
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  // Opaque subsets stay opaque.
  device->SetRenderState(D3DRS_SRCBLEND, translucent ? D3DBLEND_SRCALPHA : D3DBLEND_ONE);
  device->SetRenderState(D3DRS_DESTBLEND, translucent ? D3DBLEND_INVSRCALPHA : D3DBLEND_ZERO);
  for (DWORD stage = 1; stage <= 3; ++stage) {
    device->SetTextureStageState(stage, D3DTSS_COLOROP, D3DTOP_DISABLE);
  }
  device->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
  device->SetRenderState(D3DRS_LOCALVIEWER, TRUE);
  device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR);
  device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
  device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_CURRENT);

  // The inverse of the view's rotation keeps the environment fixed in the world.
  D3DMATRIX view;
  device->GetTransform(D3DTS_VIEW, &view);
  D3DXMATRIX rotation(view), inverse;
  rotation._41 = rotation._42 = rotation._43 = 0.0f;
  if (D3DXMatrixInverse(&inverse, nullptr, &rotation) == nullptr) D3DXMatrixIdentity(&inverse);
  device->SetTransform(D3DTS_TEXTURE0, &inverse);
}

void ResetEnvironmentMap(IDirect3DDevice8* device) {
  D3DXMATRIX identity;
  D3DXMatrixIdentity(&identity);
  device->SetTransform(D3DTS_TEXTURE0, &identity);
  device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
  for (DWORD stage = 1; stage <= 3; ++stage) {
    device->SetTextureStageState(stage, D3DTSS_COLOROP, D3DTOP_DISABLE);
  }
}
