// Camera and drawing of the full scene on one device.
#pragma once

#include <windows.h>
#include <d3d8.h>
#include <wrl/client.h>

#include <memory>
#include <vector>

#include "render/scene_plan.h"
#include "xfile/mesh_file.h"

class FrameNode;

// The textures of one output that the steps refer to.
struct SceneTextures {
  const Microsoft::WRL::ComPtr<IDirect3DTexture8>* slotTextures;  // one per picture slot
  size_t slotCount;
  IDirect3DTexture8* backdrop;
  IDirect3DBaseTexture8* environment;
};

// Eye slightly above the floor looking along +z at the pictures; aspect of the back buffer.
void SetShowCamera(IDirect3DDevice8* device, float aspect);
void ShowCameraMatrices(float aspect, D3DXMATRIX* view, D3DXMATRIX* projection);

// Carries out the planned steps with this output's meshes (indexed by SceneMeshId; a missing
// root draws nothing), textures and colours. Each step chooses the paint's drawingObject, and
// the object's subsets are wrapped in this scene's environment-map states.
void DrawFullScene(IDirect3DDevice8* device, const std::vector<DrawStep>& steps,
                   const std::unique_ptr<FrameNode>* meshes, const SceneTextures& textures,
                   D3DCOLOR ambient, const MeshPaint& paint);

// Width / height of the back buffer; 1 when the height is unknown.
float BackBufferAspect(const D3DSURFACE_DESC& desc);
