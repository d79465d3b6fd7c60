// The render-state sets of the scene. Each draw sets every state it relies on, every time.
#pragma once

#include <windows.h>
#include <d3d8.h>

// Frames: lit vertex colour, no culling.
void ApplyFrameStates(IDirect3DDevice8* device, D3DCOLOR ambient);
// Pictures and the backdrop: the texture alone, unlit, no culling.
void ApplyPictureStates(IDirect3DDevice8* device, D3DCOLOR ambient);
// The 3D object: lit colour with specular highlights, back faces culled.
void ApplyObjectStates(IDirect3DDevice8* device, D3DCOLOR ambient);
// The fallback scene's picture: texture only, back faces culled.
void ApplyFallbackStates(IDirect3DDevice8* device, D3DCOLOR ambient);

// Around each subset draw of the object while the environment map is on: reflection vectors
// from camera space, turned back into world directions, look up the cube map, which is added
// to the lit colour.
void SetUpEnvironmentMap(IDirect3DDevice8* device, bool translucent);
void ResetEnvironmentMap(IDirect3DDevice8* device);
