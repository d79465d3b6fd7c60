// The picture of an outgoing view kept in a texture of the back buffer's size, and that
// picture laid over the incoming scene with falling opacity: a cross-fade between two still
// views without drawing both scenes every frame.
#pragma once

#include <windows.h>
#include <d3d8.h>
#include <wrl/client.h>

// Device objects of one output's fade; both live in the default pool, so they go before a
// Reset and are made again on the next fade.
struct FadeTarget {
  Microsoft::WRL::ComPtr<IDirect3DTexture8> texture;  // render target, back-buffer size
  Microsoft::WRL::ComPtr<IDirect3DSurface8> depth;    // null when the device draws without one
  UINT width = 0;
  UINT height = 0;
};

void ReleaseFadeTarget(FadeTarget& target);

// Draws `drawScene(context)` into the target's texture (made or remade to the back buffer's
// size first), cleared to `clear`, and puts the device's own targets back. Fails, leaving the
// device as it was, where the device cannot render into a texture of that size.
HRESULT CaptureIntoFadeTarget(IDirect3DDevice8* device, FadeTarget& target, D3DCOLOR clear,
                              void (*drawScene)(void* context), void* context);

// Inside a scene: the captured view over everything drawn so far, `opacity` 0..1. Every state
// it changes is put back.
void DrawFadeOverlay(IDirect3DDevice8* device, const FadeTarget& target, float opacity);
