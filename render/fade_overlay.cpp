#include "render/fade_overlay.h"

#include <algorithm>

namespace {

bool PowerOfTwo(UINT n) { return n != 0 && (n & (n - 1)) == 0; }

// A device that wants power-of-two textures may still take others with clamped addressing and
// no mip chain, which is all the overlay needs.
bool TextureSizeAllowed(IDirect3DDevice8* device, UINT width, UINT height) {
  D3DCAPS8 caps = {};
  if (FAILED(device->GetDeviceCaps(&caps))) return false;
  if (width > caps.MaxTextureWidth || height > caps.MaxTextureHeight) return false;
  if ((caps.TextureCaps & D3DPTEXTURECAPS_POW2) == 0) return true;
  return (PowerOfTwo(width) && PowerOfTwo(height)) ||
         (caps.TextureCaps & D3DPTEXTURECAPS_NONPOW2CONDITIONAL) != 0;
}

HRESULT MakeFadeTarget(IDirect3DDevice8* device, const D3DSURFACE_DESC& back,
                       FadeTarget& target) {
  ReleaseFadeTarget(target);
  if (!TextureSizeAllowed(device, back.Width, back.Height)) return E_FAIL;
  HRESULT hr = device->CreateTexture(back.Width, back.Height, 1, D3DUSAGE_RENDERTARGET,
                                     back.Format, D3DPOOL_DEFAULT, &target.texture);
  if (FAILED(hr)) return hr;
  // A depth buffer of its own: the device's may be multisampled, which a texture is not.
  Microsoft::WRL::ComPtr<IDirect3DSurface8> depth;
  D3DSURFACE_DESC depthDesc = {};
  if (SUCCEEDED(device->GetDepthStencilSurface(&depth)) && depth != nullptr &&
      SUCCEEDED(depth->GetDesc(&depthDesc))) {
    hr = device->CreateDepthStencilSurface(back.Width, back.Height, depthDesc.Format,
                                           D3DMULTISAMPLE_NONE, &target.depth);
    if (FAILED(hr)) {
      ReleaseFadeTarget(target);
      return hr;
    }
  }
  target.width = back.Width;
  target.height = back.Height;
  return S_OK;
}

struct OverlayVertex {
  float x, y, z, rhw;
  D3DCOLOR diffuse;
  float u, v;
};
constexpr DWORD kOverlayFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// The states the overlay sets, with the values the scene expects when they cannot be read
// back (a pure device keeps no copy).
struct StateRow {
  DWORD state;
  DWORD overlay;
  DWORD usual;
};
const StateRow kRenderStates[] = {
    {D3DRS_ZENABLE, FALSE, TRUE},
    {D3DRS_ZWRITEENABLE, FALSE, TRUE},
    {D3DRS_ALPHABLENDENABLE, TRUE, FALSE},
    {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA, D3DBLEND_SRCALPHA},
    {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA, D3DBLEND_INVSRCALPHA},
    {D3DRS_ALPHATESTENABLE, FALSE, FALSE},
    {D3DRS_CULLMODE, D3DCULL_NONE, D3DCULL_CCW},
    {D3DRS_LIGHTING, FALSE, TRUE},
    {D3DRS_FOGENABLE, FALSE, FALSE},
};
const StateRow kStage0States[] = {
    {D3DTSS_COLOROP, D3DTOP_SELECTARG1, D3DTOP_SELECTARG1},
    {D3DTSS_COLORARG1, D3DTA_TEXTURE, D3DTA_TEXTURE},
    {D3DTSS_ALPHAOP, D3DTOP_SELECTARG1, D3DTOP_SELECTARG1},
    {D3DTSS_ALPHAARG1, D3DTA_DIFFUSE, D3DTA_TEXTURE},
    {D3DTSS_MINFILTER, D3DTEXF_POINT, D3DTEXF_LINEAR},
    {D3DTSS_MAGFILTER, D3DTEXF_POINT, D3DTEXF_LINEAR},
    {D3DTSS_MIPFILTER, D3DTEXF_NONE, D3DTEXF_LINEAR},
    {D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP, D3DTADDRESS_WRAP},
    {D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP, D3DTADDRESS_WRAP},
    {D3DTSS_TEXCOORDINDEX, 0, 0},
    {D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE, D3DTTFF_DISABLE},
};
constexpr size_t kRenderStateCount = sizeof kRenderStates / sizeof kRenderStates[0];
constexpr size_t kStage0Count = sizeof kStage0States / sizeof kStage0States[0];

}  // namespace

void ReleaseFadeTarget(FadeTarget& target) {
  target.texture.Reset();
  target.depth.Reset();
  target.width = target.height = 0;
}

HRESULT CaptureIntoFadeTarget(IDirect3DDevice8* device, FadeTarget& target, D3DCOLOR clear,
                              void (*drawScene)(void* context), void* context) {
  if (device == nullptr) return E_INVALIDARG;
  Microsoft::WRL::ComPtr<IDirect3DSurface8> backBuffer, depth, surface;
  D3DSURFACE_DESC back = {};
  HRESULT hr = device->GetRenderTarget(&backBuffer);
  if (FAILED(hr) || FAILED(hr = backBuffer->GetDesc(&back))) return hr;
  if (target.texture == nullptr || target.width != back.Width || target.height != back.Height) {
    if (FAILED(hr = MakeFadeTarget(device, back, target))) return hr;
  }
  if (FAILED(hr = target.texture->GetSurfaceLevel(0, &surface))) return hr;
  device->GetDepthStencilSurface(&depth);  // none is fine: then there is none to put back
  if (FAILED(hr = device->SetRenderTarget(surface.Get(), target.depth.Get()))) return hr;
  const DWORD clearFlags = D3DCLEAR_TARGET | (target.depth != nullptr ? D3DCLEAR_ZBUFFER : 0);
  device->Clear(0, nullptr, clearFlags, clear, 1.0f, 0);
  if (SUCCEEDED(hr = device->BeginScene())) {
    drawScene(context);
    device->EndScene();
  }
  const HRESULT restored = device->SetRenderTarget(backBuffer.Get(), depth.Get());
  return FAILED(hr) ? hr : restored;
}

void DrawFadeOverlay(IDirect3DDevice8* device, const FadeTarget& target, float opacity) {
  if (device == nullptr || target.texture == nullptr) return;
  opacity = std::min(1.0f, std::max(0.0f, opacity));
  if (opacity <= 0.0f) return;
  DWORD renderSaved[kRenderStateCount], stageSaved[kStage0Count], stage1Saved = D3DTOP_DISABLE;
  for (size_t i = 0; i < kRenderStateCount; ++i) {
    renderSaved[i] = kRenderStates[i].usual;
    device->GetRenderState(static_cast<D3DRENDERSTATETYPE>(kRenderStates[i].state),
                           &renderSaved[i]);
    device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(kRenderStates[i].state),
                           kRenderStates[i].overlay);
  }
  for (size_t i = 0; i < kStage0Count; ++i) {
    const auto type = static_cast<D3DTEXTURESTAGESTATETYPE>(kStage0States[i].state);
    stageSaved[i] = kStage0States[i].usual;
    device->GetTextureStageState(0, type, &stageSaved[i]);
    device->SetTextureStageState(0, type, kStage0States[i].overlay);
  }
  device->GetTextureStageState(1, D3DTSS_COLOROP, &stage1Saved);
  device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);

  // Texel centres on pixel centres: a one-to-one copy.
  const float w = static_cast<float>(target.width) - 0.5f;
  const float h = static_cast<float>(target.height) - 0.5f;
  const D3DCOLOR color = D3DCOLOR_ARGB(static_cast<DWORD>(opacity * 255.0f + 0.5f), 255, 255, 255);
  const OverlayVertex quad[4] = {
      {-0.5f, -0.5f, 0.0f, 1.0f, color, 0.0f, 0.0f},
      {w, -0.5f, 0.0f, 1.0f, color, 1.0f, 0.0f},
      {-0.5f, h, 0.0f, 1.0f, color, 0.0f, 1.0f},
      {w, h, 0.0f, 1.0f, color, 1.0f, 1.0f},
  };
  device->SetTexture(0, target.texture.Get());
  device->SetVertexShader(kOverlayFvf);
  device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]);
  device->SetTexture(0, nullptr);

  for (size_t i = 0; i < kRenderStateCount; ++i) {
    device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(kRenderStates[i].state),
                           renderSaved[i]);
  }
  for (size_t i = 0; i < kStage0Count; ++i) {
    device->SetTextureStageState(0, static_cast<D3DTEXTURESTAGESTATETYPE>(kStage0States[i].state),
                                 stageSaved[i]);
  }
  device->SetTextureStageState(1, D3DTSS_COLOROP, stage1Saved);
}
