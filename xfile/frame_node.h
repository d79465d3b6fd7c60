// The tree a .x file loads into: frames with their transforms, each with at most one mesh.
#pragma once

#include <windows.h>

#include <d3d8.h>
#include <wrl/client.h>

#include <cstdint>
#include <memory>

#include "d3dx/d3dx8_math.h"
#include "d3dx/d3dx8_mesh.h"

// One mesh with its materials, drawn subset by subset.
class MeshObject {
 public:
  explicit MeshObject(const char* name);
  virtual ~MeshObject();
  MeshObject(const MeshObject&) = delete;
  MeshObject& operator=(const MeshObject&) = delete;

  // Releases the mesh and the textures, frees both arrays, count = 0.
  void ReleaseDeviceObjects();

  char name[512];
  Microsoft::WRL::ComPtr<ID3DXMesh> mesh;  // managed pool, XYZ | NORMAL | DIFFUSE | TEX1
  uint32_t numMaterials = 0;
  std::unique_ptr<D3DMATERIAL8[]> materials;  // numMaterials entries
  // numMaterials entries, each may be null
  std::unique_ptr<Microsoft::WRL::ComPtr<IDirect3DTexture8>[]> textures;
  int useMaterials = 1;
};

// One frame; the root of a loaded file is a FrameNode too. A node owns its children and the
// rest of its sibling chain.
class FrameNode {
 public:
  explicit FrameNode(const char* name);
  virtual ~FrameNode();
  FrameNode(const FrameNode&) = delete;
  FrameNode& operator=(const FrameNode&) = delete;

  char name[512];
  D3DXMATRIX transform;  // identity until a FrameTransformMatrix sets it
  std::unique_ptr<MeshObject> mesh;
  std::unique_ptr<FrameNode> nextSibling;
  std::unique_ptr<FrameNode> firstChild;
};
