// Drawing a frame tree: every frame's mesh, opaque subsets first, then translucent ones
// with alpha blending, in the scene's frame or object colour.
#include "xfile/mesh_file.h"

namespace {

D3DXMATRIX CurrentWorld(IDirect3DDevice8* device) {
  D3DXMATRIX world;
  if (FAILED(device->GetTransform(D3DTS_WORLD, &world))) D3DXMatrixIdentity(&world);
  return world;
}

void SetAlphaBlending(IDirect3DDevice8* device) {
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

// Colours material i with the scene's colour and draws its subset, wrapped in the
// environment-map states while the object is drawn with reflections on.
void DrawColouredSubset(MeshObject* meshObject, IDirect3DDevice8* device, uint32_t i,
                        bool translucentPass, const MeshPaint& paint) {
  const bool object = paint.drawingObject != 0;
  const bool environment = object && paint.objectReflects;
  const uint8_t* colour = object ? paint.objectRgb : paint.frameRgb;
  if (environment && paint.environment.setup != nullptr)
    paint.environment.setup(device, translucentPass);
  D3DMATERIAL8& m = meshObject->materials[i];
  m.Diffuse.r = m.Ambient.r = colour[0] / 255.0f;
  m.Diffuse.g = m.Ambient.g = colour[1] / 255.0f;
  m.Diffuse.b = m.Ambient.b = colour[2] / 255.0f;
  m.Ambient.a = 1.0f;
  // Opaque subsets are drawn with alpha 1.0, but the file's alpha stays in the array: a
  // subset above 1.0 is drawn again in the translucent pass.
  D3DMATERIAL8 drawn = m;
  if (!translucentPass) drawn.Diffuse.a = 1.0f;
  device->SetMaterial(&drawn);
  meshObject->mesh->DrawSubset(i);
  if (environment && paint.environment.reset != nullptr) paint.environment.reset(device);
}

}  // namespace

HRESULT RenderMeshFile(FrameNode* root, IDirect3DDevice8* device, const D3DXMATRIX* world,
                       const MeshPaint& paint) {
  if (root == nullptr || device == nullptr) return S_OK;
  const D3DXMATRIX saved = world != nullptr ? *world : CurrentWorld(device);
  // The root's transform applies after the caller's world, unlike a frame's (see below).
  const D3DXMATRIX combined = saved * root->transform;
  device->SetTransform(D3DTS_WORLD, &combined);
  FrameNode* first = root->firstChild.get();
  if (first != nullptr) RenderFrameNode(first, device, 1, 0, &combined, paint);
  SetAlphaBlending(device);
  if (first != nullptr) RenderFrameNode(first, device, 0, 1, &combined, paint);
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  device->SetTransform(D3DTS_WORLD, &saved);
  return S_OK;
}

HRESULT RenderFrameNode(FrameNode* node, IDirect3DDevice8* device, int drawOpaque,
                        int drawTranslucent, const D3DXMATRIX* parent, const MeshPaint& paint) {
  if (node == nullptr || device == nullptr) return S_OK;
  const D3DXMATRIX saved = parent != nullptr ? *parent : CurrentWorld(device);
  // Siblings share the parent's matrix; they are walked in a loop so that a long chain
  // does not deepen the stack.
  for (FrameNode* frame = node; frame != nullptr; frame = frame->nextSibling.get()) {
    const D3DXMATRIX combined = frame->transform * saved;
    device->SetTransform(D3DTS_WORLD, &combined);
    if (frame->mesh != nullptr)
      RenderMeshSubsets(frame->mesh.get(), device, drawOpaque, drawTranslucent, paint);
    if (frame->firstChild != nullptr)
      RenderFrameNode(frame->firstChild.get(), device, drawOpaque, drawTranslucent, &combined,
                      paint);
    device->SetTransform(D3DTS_WORLD, &saved);
  }
  return S_OK;
}

HRESULT RenderMeshSubsets(MeshObject* meshObject, IDirect3DDevice8* device, int drawOpaque,
                          int drawTranslucent, const MeshPaint& paint) {
  if (meshObject == nullptr || device == nullptr) return S_OK;
  device->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL);
  device->SetRenderState(D3DRS_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL);
  device->SetRenderState(D3DRS_COLORVERTEX, TRUE);
  // A mesh that failed to build has no subsets to draw.
  const bool drawable = meshObject->mesh != nullptr && meshObject->materials != nullptr;
  if (drawOpaque && drawable && meshObject->useMaterials) {
    for (uint32_t i = 0; i < meshObject->numMaterials; ++i) {
      if (meshObject->materials[i].Diffuse.a >= 1.0f)
        DrawColouredSubset(meshObject, device, i, false, paint);
    }
  }
  if (drawTranslucent && meshObject->useMaterials) {
    SetAlphaBlending(device);
    // The blend alpha is the lit diffuse alpha.
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_CURRENT);
    if (drawable) {
      for (uint32_t i = 0; i < meshObject->numMaterials; ++i) {
        if (meshObject->materials[i].Diffuse.a != 1.0f)
          DrawColouredSubset(meshObject, device, i, true, paint);
      }
    }
  }
  return S_OK;
}

HRESULT ReleaseMeshFile(FrameNode* root) {
  if (root == nullptr) return S_OK;
  root->mesh.reset();  // releases its device objects
  // Freeing a node frees its children and the rest of its sibling chain.
  root->firstChild.reset();
  root->nextSibling.reset();
  return S_OK;
}
