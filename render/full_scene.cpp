#include "render/full_scene.h"

#include "render/state_sets.h"
#include "xfile/mesh_file.h"

void ShowCameraMatrices(float aspect, D3DXMATRIX* view, D3DXMATRIX* projection) {
  const D3DXVECTOR3 eye(0.0f, 0.25f, 0.0f), at(0.0f, 0.0f, 4.0f), up(0.0f, 1.0f, 0.0f);
  D3DXMatrixLookAtLH(view, &eye, &at, &up);
  D3DXMatrixPerspectiveFovLH(projection, D3DX_PI / 4.0f, aspect, 0.1f, 50.0f);
}

void SetShowCamera(IDirect3DDevice8* device, float aspect) {
  D3DXMATRIX world, view, projection;
  D3DXMatrixIdentity(&world);
  ShowCameraMatrices(aspect, &view, &projection);
  device->SetTransform(D3DTS_WORLD, &world);
  device->SetTransform(D3DTS_VIEW, &view);
  device->SetTransform(D3DTS_PROJECTION, &projection);
}

float BackBufferAspect(const D3DSURFACE_DESC& desc) {
  if (desc.Width == 0 || desc.Height == 0) return 1.0f;
  return static_cast<float>(desc.Width) / static_cast<float>(desc.Height);
}

namespace {

void ApplyStates(IDirect3DDevice8* device, StateSet states, D3DCOLOR ambient) {
  switch (states) {
    case StateSet::Frame:
      ApplyFrameStates(device, ambient);
      break;
    case StateSet::Picture:
      ApplyPictureStates(device, ambient);
      break;
    case StateSet::Object:
      ApplyObjectStates(device, ambient);
      break;
    case StateSet::MirrorObject:
      ApplyObjectStates(device, ambient);
      // The negative Y scale reverses the winding.
      device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
      break;
  }
}

IDirect3DBaseTexture8* StageTextureOf(const DrawStep& step, const SceneTextures& textures) {
  switch (step.texture) {
    case StageTexture::Backdrop:
      return textures.backdrop;
    case StageTexture::Environment:
      return textures.environment;
    case StageTexture::Slot:
      if (step.slot >= 0 && static_cast<size_t>(step.slot) < textures.slotCount) {
        return textures.slotTextures[step.slot].Get();
      }
      return nullptr;
    case StageTexture::None:
      break;
  }
  return nullptr;
}

}  // namespace

void DrawFullScene(IDirect3DDevice8* device, const std::vector<DrawStep>& steps,
                   const std::unique_ptr<FrameNode>* meshes, const SceneTextures& textures,
                   D3DCOLOR ambient, const MeshPaint& paint) {
  MeshPaint stepPaint = paint;
  stepPaint.environment = {SetUpEnvironmentMap, ResetEnvironmentMap};
  for (const DrawStep& step : steps) {
    stepPaint.drawingObject = step.drawingObject;
    ApplyStates(device, step.states, ambient);
    device->SetRenderState(D3DRS_ZBIAS, step.zBias);
    device->SetTexture(0, StageTextureOf(step, textures));
    FrameNode* root = meshes != nullptr ? meshes[step.mesh].get() : nullptr;
    if (root != nullptr) RenderMeshFile(root, device, &step.world, stepPaint);
    if (step.mesh == BackdropMesh) device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  }
}
