// Loading a .x file through DirectX File into a frame tree.
#include <wrl/client.h>

#include <cstring>
#include <memory>
#include <utility>

#include "base/text_copy.h"
#include "base/xfile_guids.h"
#include "d3dx/d3dx8_tex.h"
#include "xfile/compressed_xfile.h"
#include "xfile/media_path.h"
#include "xfile/mesh_file.h"
#include "xfile/xfile_templates.h"

using Microsoft::WRL::ComPtr;

namespace {

// Frames nested deeper than this are not a model but an attack on the stack.
constexpr int kMaxFrameDepth = 256;

constexpr DWORD kMeshFormat = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// The object's name, or an empty text for an unnamed object or one whose name does not fit.
void ReadObjectName(IDirectXFileData* object, char (&name)[512]) {
  name[0] = '\0';
  DWORD length = 0;
  if (FAILED(object->GetName(nullptr, &length)) || length == 0) return;
  DWORD size = sizeof(name);
  if (FAILED(object->GetName(name, &size))) name[0] = '\0';
  name[sizeof(name) - 1] = '\0';
}

// What every object of one file is loaded with.
struct LoadTarget {
  FrameNode* root;
  IDirect3DDevice8* device;
  MeshTextureLoader loadTexture;
};

HRESULT LoadFrame(const LoadTarget& target, IDirectXFileData* object, FrameNode* parent,
                  int depth);

HRESULT LoadObjectAt(const LoadTarget& target, IDirectXFileData* object, FrameNode* parent,
                     int depth) {
  const GUID* type = nullptr;
  HRESULT hr = object->GetType(&type);
  if (FAILED(hr)) return hr;
  if (type == nullptr) return S_OK;
  if (IsEqualGUID(*type, TID_D3DRMMesh))
    return LoadMeshObject(target.device, object, parent, target.loadTexture);
  if (IsEqualGUID(*type, TID_D3DRMFrameTransformMatrix)) {
    DWORD size = 0;
    void* data = nullptr;
    hr = object->GetData(nullptr, &size, &data);
    if (FAILED(hr)) return hr;
    // Sixteen floats or the object is not what its type says.
    if (data == nullptr || size < 16 * sizeof(float)) return E_FAIL;
    std::memcpy(&parent->transform, data, 16 * sizeof(float));
    return S_OK;
  }
  if (IsEqualGUID(*type, TID_D3DRMFrame)) return LoadFrame(target, object, parent, depth);
  return S_OK;  // Header, Material and the rest: read with a Mesh, or not used
}

HRESULT LoadFrame(const LoadTarget& target, IDirectXFileData* object, FrameNode* parent,
                  int depth) {
  if (depth >= kMaxFrameDepth) return E_FAIL;
  char name[512];
  ReadObjectName(object, name);
  auto created = std::make_unique<FrameNode>(name);
  // Prepending: siblings end up in reverse file order.
  created->nextSibling = std::move(parent->firstChild);
  parent->firstChild = std::move(created);
  FrameNode* node = parent->firstChild.get();
  for (;;) {
    ComPtr<IDirectXFileObject> child;
    if (FAILED(object->GetNextObject(child.GetAddressOf())) || child == nullptr) break;
    ComPtr<IDirectXFileData> childData;
    HRESULT hr = child->QueryInterface(IID_IDirectXFileData,
                                       reinterpret_cast<void**>(childData.GetAddressOf()));
    if (SUCCEEDED(hr)) hr = LoadObjectAt(target, childData.Get(), node, depth + 1);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

void LoadMaterialTextures(MeshObject* meshObject, IDirect3DDevice8* device,
                          const D3DXMATERIAL* source, MeshTextureLoader loadTexture) {
  for (uint32_t i = 0; i < meshObject->numMaterials; ++i) {
    meshObject->materials[i] = source[i].MatD3D;
    // The scene lights with the diffuse colour only; ambient follows it.
    meshObject->materials[i].Ambient = meshObject->materials[i].Diffuse;
    if (source[i].pTextureFilename == nullptr || loadTexture == nullptr) continue;
    char name[MAX_PATH];
    char path[MAX_PATH];
    CopyText(name, source[i].pTextureFilename, sizeof(name));
    FindMediaFile(path, name, sizeof(path));
    // A missing or unreadable texture leaves the material untextured, silently.
    if (FAILED(loadTexture(device, path, meshObject->textures[i].GetAddressOf())))
      meshObject->textures[i].Reset();
  }
}

}  // namespace

HRESULT LoadMeshFile(FrameNode* root, IDirect3DDevice8* device, const char* fileName,
                     MeshTextureLoader loadTexture) {
  if (root == nullptr || fileName == nullptr) return E_INVALIDARG;
  ComPtr<IDirectXFile> file;
  if (FAILED(DirectXFileCreate(file.GetAddressOf())) || file == nullptr) return E_FAIL;
  if (FAILED(file->RegisterTemplates(const_cast<char*>(XFileTemplates),
                                     static_cast<DWORD>(XFileTemplatesSize))))
    return E_FAIL;
  char path[MAX_PATH];
  char found[MAX_PATH];
  // On failure the output holds the name itself; a name too long for it is refused rather
  // than opened cut short.
  if (FAILED(FindMediaFile(found, fileName, sizeof(found))) &&
      std::strlen(fileName) >= sizeof(found))
    return E_FAIL;
  CopyText(path, found, sizeof(path));
  HRESULT hr = CheckXFileFraming(path);
  if (FAILED(hr)) return hr;
  ComPtr<IDirectXFileEnumObject> enumerator;
  hr = file->CreateEnumObject(path, DXFILELOAD_FROMFILE, enumerator.GetAddressOf());
  if (FAILED(hr) || enumerator == nullptr) return FAILED(hr) ? hr : E_FAIL;
  const LoadTarget target = {root, device, loadTexture};
  for (;;) {
    ComPtr<IDirectXFileData> object;
    hr = enumerator->GetNextDataObject(object.GetAddressOf());
    if (hr == DXFILEERR_NOMOREOBJECTS) break;
    // Anything else ending the objects is a file that did not parse: not a success.
    if (SUCCEEDED(hr)) {
      hr = object != nullptr ? LoadObjectAt(target, object.Get(), root, 0) : E_FAIL;
    }
    if (FAILED(hr)) return E_FAIL;
  }
  return S_OK;
}

HRESULT LoadDataObject(FrameNode* root, IDirect3DDevice8* device, IDirectXFileData* object,
                       FrameNode* parent, MeshTextureLoader loadTexture) {
  if (object == nullptr || parent == nullptr) return E_INVALIDARG;
  return LoadObjectAt({root, device, loadTexture}, object, parent, 0);
}

HRESULT LoadMeshObject(IDirect3DDevice8* device, IDirectXFileData* object, FrameNode* frame,
                       MeshTextureLoader loadTexture) {
  if (frame->mesh != nullptr) return E_FAIL;  // one mesh per frame
  char name[512];
  ReadObjectName(object, name);
  frame->mesh = std::make_unique<MeshObject>(name);
  // A mesh that cannot be built stays attached and draws nothing.
  CreateMeshObject(frame->mesh.get(), device, object, loadTexture);
  return S_OK;
}

HRESULT CreateMeshObject(MeshObject* meshObject, IDirect3DDevice8* device,
                         IDirectXFileData* object, MeshTextureLoader loadTexture) {
  ComPtr<ID3DXMesh> loaded;
  ComPtr<ID3DXBuffer> adjacency;
  ComPtr<ID3DXBuffer> materials;
  DWORD numMaterials = 0;
  HRESULT hr = D3DXLoadMeshFromXof(object, D3DXMESH_SYSTEMMEM, device, adjacency.GetAddressOf(),
                                   materials.GetAddressOf(), &numMaterials,
                                   loaded.GetAddressOf());
  if (FAILED(hr)) return hr;
  hr = loaded->OptimizeInplace(
      D3DXMESHOPT_COMPACT | D3DXMESHOPT_ATTRSORT | D3DXMESHOPT_VERTEXCACHE,
      adjacency != nullptr ? static_cast<const DWORD*>(adjacency->GetBufferPointer()) : nullptr,
      nullptr, nullptr, nullptr);
  if (FAILED(hr)) return hr;
  // A failed clone leaves the mesh null: the object then draws nothing.
  if (FAILED(loaded->CloneMeshFVF(D3DXMESH_MANAGED, kMeshFormat, device,
                                  meshObject->mesh.ReleaseAndGetAddressOf())))
    meshObject->mesh.Reset();
  // The system-memory copy is done with; let it go before the textures load.
  loaded.Reset();

  if (materials != nullptr && numMaterials > 0 &&
      materials->GetBufferSize() >= numMaterials * sizeof(D3DXMATERIAL)) {
    meshObject->materials = std::make_unique<D3DMATERIAL8[]>(numMaterials);
    meshObject->textures = std::make_unique<ComPtr<IDirect3DTexture8>[]>(numMaterials);
    meshObject->numMaterials = numMaterials;
    LoadMaterialTextures(meshObject, device,
                         static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer()),
                         loadTexture);
  }
  return S_OK;
}
