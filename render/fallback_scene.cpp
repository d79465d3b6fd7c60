#include "render/fallback_scene.h"

#include "xfile/mesh_file.h"

void SetFallbackCamera(IDirect3DDevice8* device, float aspect) {
  D3DXMATRIX world, view, projection;
  D3DXMatrixIdentity(&world);
  const D3DXVECTOR3 eye(0.0f, 0.0f, -5.0f), at(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4.0f, aspect, 0.1f, 20.0f);
  device->SetTransform(D3DTS_WORLD, &world);
  device->SetTransform(D3DTS_VIEW, &view);
  device->SetTransform(D3DTS_PROJECTION, &projection);
}

void DrawFallbackPicture(IDirect3DDevice8* device, FrameNode* pictureMesh,
                         const D3DXMATRIX& world, const MeshPaint& paint) {
  MeshPaint picture = paint;
  picture.drawingObject = 0;  // the picture is never the 3D object
  if (pictureMesh != nullptr) RenderMeshFile(pictureMesh, device, &world, picture);
}
