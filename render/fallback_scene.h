// The fallback scene: one picture drifting and turning in front of the camera, without frame,
// backdrop, object or reflection.
#pragma once

#include <windows.h>
#include <d3d8.h>

#include "d3dx/d3dx8_math.h"
#include "xfile/mesh_file.h"

// Eye at z = -5 looking at the origin.
void SetFallbackCamera(IDirect3DDevice8* device, float aspect);

// Draws the picture surface with whatever texture stage 0 holds.
void DrawFallbackPicture(IDirect3DDevice8* device, FrameNode* pictureMesh,
                         const D3DXMATRIX& world, const MeshPaint& paint);
