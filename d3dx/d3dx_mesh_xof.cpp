// Mesh building from a DirectX File Mesh object: its data and its child objects are read
// into plain arrays, built into triangles, and copied into a new mesh.
#include <wrl/client.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/xfile_guids.h"
#include "d3dx/d3dx8_mesh.h"
#include "d3dx/fvf_layout.h"
#include "d3dx/mesh_geometry.h"
#include "d3dx/xof_mesh_data.h"

using Microsoft::WRL::ComPtr;

namespace {

// Texture names longer than this are not file names.
constexpr size_t kMaxTextureName = 1024;

struct MaterialRecord {
  D3DMATERIAL8 material;
  std::string textureName;  // empty: no texture
};

// A child as a data object: data objects as they are, references resolved, binary objects
// left out (null).
ComPtr<IDirectXFileData> ChildData(IDirectXFileObject* child) {
  ComPtr<IDirectXFileData> data;
  if (SUCCEEDED(child->QueryInterface(IID_IDirectXFileData,
                                      reinterpret_cast<void**>(data.GetAddressOf()))))
    return data;
  ComPtr<IDirectXFileDataReference> reference;
  if (SUCCEEDED(child->QueryInterface(IID_IDirectXFileDataReference,
                                      reinterpret_cast<void**>(reference.GetAddressOf())))) {
    if (FAILED(reference->Resolve(data.ReleaseAndGetAddressOf()))) data.Reset();
    return data;
  }
  return nullptr;
}

// Calls visit(child data, child type) for each child until it fails.
template <typename Visit>
HRESULT ForEachChild(IDirectXFileData* parent, Visit visit) {
  for (;;) {
    ComPtr<IDirectXFileObject> child;
    if (FAILED(parent->GetNextObject(child.GetAddressOf())) || child == nullptr) return S_OK;
    ComPtr<IDirectXFileData> data = ChildData(child.Get());
    if (data == nullptr) continue;
    const GUID* type = nullptr;
    HRESULT hr = data->GetType(&type);
    if (SUCCEEDED(hr) && type != nullptr) hr = visit(data.Get(), *type);
    if (FAILED(hr)) return hr;
  }
}

HRESULT GetBytes(IDirectXFileData* data, const void** bytes, size_t* size) {
  DWORD length = 0;
  void* pointer = nullptr;
  HRESULT hr = data->GetData(nullptr, &length, &pointer);
  if (FAILED(hr)) return hr;
  if (pointer == nullptr) length = 0;
  *bytes = pointer;
  *size = length;
  return S_OK;
}

// TextureFilename holds one STRING member, which DirectX File hands out as a text pointer.
std::string ReadTextureName(IDirectXFileData* data) {
  const void* bytes;
  size_t size;
  if (FAILED(GetBytes(data, &bytes, &size)) || size < sizeof(const char*)) return std::string();
  const char* text = nullptr;
  std::memcpy(&text, bytes, sizeof(text));
  if (text == nullptr) return std::string();
  size_t length = strnlen(text, kMaxTextureName + 1);
  if (length > kMaxTextureName) return std::string();
  return std::string(text, length);
}

D3DCOLORVALUE Color(const float* rgb, float alpha) { return {rgb[0], rgb[1], rgb[2], alpha}; }

HRESULT ReadMaterial(IDirectXFileData* data, MaterialRecord* record) {
  const void* bytes;
  size_t size;
  HRESULT hr = GetBytes(data, &bytes, &size);
  if (FAILED(hr)) return hr;
  xofdata::MaterialValues values;
  if (!xofdata::ParseMaterial(bytes, size, &values)) return D3DXERR_INVALIDDATA;
  D3DMATERIAL8& m = record->material;
  std::memset(&m, 0, sizeof(m));
  m.Diffuse = Color(values.diffuse, values.diffuse[3]);
  m.Specular = Color(values.specular, 1.0f);
  m.Emissive = Color(values.emissive, 1.0f);
  m.Power = values.power;
  return ForEachChild(data, [&](IDirectXFileData* child, const GUID& type) {
    if (IsEqualGUID(type, TID_D3DRMTextureFilename)) record->textureName = ReadTextureName(child);
    return S_OK;
  });
}

HRESULT ReadMaterialList(IDirectXFileData* data, xofdata::MaterialList* list,
                         std::vector<MaterialRecord>* materials) {
  const void* bytes;
  size_t size;
  HRESULT hr = GetBytes(data, &bytes, &size);
  if (FAILED(hr)) return hr;
  if (!xofdata::ParseMeshMaterialList(bytes, size, list)) return D3DXERR_INVALIDDATA;
  materials->clear();
  hr = ForEachChild(data, [&](IDirectXFileData* child, const GUID& type) {
    if (!IsEqualGUID(type, TID_D3DRMMaterial) || materials->size() >= list->numMaterials)
      return S_OK;
    MaterialRecord record;
    HRESULT result = ReadMaterial(child, &record);
    if (SUCCEEDED(result)) materials->push_back(record);
    return result;
  });
  if (FAILED(hr)) return hr;
  // Every material the list counts must be there.
  return materials->size() == list->numMaterials ? S_OK : D3DXERR_INVALIDDATA;
}

HRESULT ReadMeshSource(IDirectXFileData* object, meshgeo::MeshSource* source,
                       std::vector<MaterialRecord>* materials) {
  const void* bytes;
  size_t size;
  HRESULT hr = GetBytes(object, &bytes, &size);
  if (FAILED(hr)) return hr;
  if (!xofdata::ParseMesh(bytes, size, source)) return D3DXERR_INVALIDDATA;
  xofdata::MaterialList list;
  bool haveList = false;
  hr = ForEachChild(object, [&](IDirectXFileData* child, const GUID& type) -> HRESULT {
    const void* childBytes;
    size_t childSize;
    bool ok = true;
    if (IsEqualGUID(type, TID_D3DRMMeshMaterialList)) {
      if (haveList) return S_OK;  // the first list counts
      haveList = true;
      return ReadMaterialList(child, &list, materials);
    }
    if (IsEqualGUID(type, TID_D3DRMMeshNormals)) {
      HRESULT result = GetBytes(child, &childBytes, &childSize);
      if (FAILED(result)) return result;
      ok = xofdata::ParseMeshNormals(childBytes, childSize, source);
    } else if (IsEqualGUID(type, TID_D3DRMMeshTextureCoords)) {
      HRESULT result = GetBytes(child, &childBytes, &childSize);
      if (FAILED(result)) return result;
      ok = xofdata::ParseMeshTextureCoords(childBytes, childSize, source);
    } else if (IsEqualGUID(type, TID_D3DRMMeshVertexColors)) {
      HRESULT result = GetBytes(child, &childBytes, &childSize);
      if (FAILED(result)) return result;
      ok = xofdata::ParseMeshVertexColors(childBytes, childSize, source);
    }
    return ok ? S_OK : D3DXERR_INVALIDDATA;
  });
  if (FAILED(hr)) return hr;
  if (haveList &&
      !xofdata::ExpandFaceMaterials(list, source->faces.counts.size(), &source->faceMaterials))
    return D3DXERR_INVALIDDATA;
  return S_OK;
}

HRESULT FillMesh(ID3DXMesh* mesh, const meshgeo::BuiltMesh& built) {
  FvfLayout layout;
  DescribeFvf(mesh->GetFVF(), &layout);
  BYTE* data = nullptr;
  HRESULT hr = mesh->LockVertexBuffer(0, &data);
  if (FAILED(hr)) return hr;
  for (size_t v = 0; v < built.vertices.size(); ++v)
    EncodeVertex(built.vertices[v], layout, data + v * layout.stride);
  mesh->UnlockVertexBuffer();

  hr = mesh->LockIndexBuffer(0, &data);
  if (FAILED(hr)) return hr;
  const bool use32Bit = (mesh->GetOptions() & D3DXMESH_32BIT) != 0;
  for (size_t i = 0; i < built.indices.size(); ++i) {
    if (use32Bit) {
      std::memcpy(data + i * 4, &built.indices[i], 4);
    } else {
      uint16_t value = static_cast<uint16_t>(built.indices[i]);
      std::memcpy(data + i * 2, &value, 2);
    }
  }
  mesh->UnlockIndexBuffer();

  DWORD* attributes = nullptr;
  hr = mesh->LockAttributeBuffer(0, &attributes);
  if (FAILED(hr)) return hr;
  std::memcpy(attributes, built.attributes.data(), built.attributes.size() * sizeof(DWORD));
  return mesh->UnlockAttributeBuffer();
}

HRESULT MakeMaterialBuffer(const std::vector<MaterialRecord>& materials, LPD3DXBUFFER* buffer) {
  size_t size = materials.size() * sizeof(D3DXMATERIAL);
  for (const MaterialRecord& m : materials)
    if (!m.textureName.empty()) size += m.textureName.size() + 1;
  HRESULT hr = D3DXCreateBuffer(static_cast<DWORD>(size), buffer);
  if (FAILED(hr)) return hr;
  BYTE* bytes = static_cast<BYTE*>((*buffer)->GetBufferPointer());
  D3DXMATERIAL* records = reinterpret_cast<D3DXMATERIAL*>(bytes);
  char* names = reinterpret_cast<char*>(bytes + materials.size() * sizeof(D3DXMATERIAL));
  for (size_t i = 0; i < materials.size(); ++i) {
    records[i].MatD3D = materials[i].material;
    records[i].pTextureFilename = nullptr;
    const std::string& name = materials[i].textureName;
    if (name.empty()) continue;
    std::memcpy(names, name.c_str(), name.size() + 1);
    records[i].pTextureFilename = names;
    names += name.size() + 1;
  }
  return S_OK;
}

HRESULT BufferOf(const std::vector<uint32_t>& values, LPD3DXBUFFER* buffer) {
  HRESULT hr = D3DXCreateBuffer(static_cast<DWORD>(values.size() * sizeof(DWORD)), buffer);
  if (SUCCEEDED(hr))
    std::memcpy((*buffer)->GetBufferPointer(), values.data(), values.size() * sizeof(DWORD));
  return hr;
}

}  // namespace

HRESULT WINAPI D3DXLoadMeshFromXof(LPDIRECTXFILEDATA xofMesh, DWORD options,
                                   LPDIRECT3DDEVICE8 device, LPD3DXBUFFER* adjacency,
                                   LPD3DXBUFFER* materials, DWORD* numMaterials, LPD3DXMESH* mesh) {
  if (adjacency != nullptr) *adjacency = nullptr;
  if (materials != nullptr) *materials = nullptr;
  if (numMaterials != nullptr) *numMaterials = 0;
  if (mesh == nullptr || xofMesh == nullptr || device == nullptr) return D3DERR_INVALIDCALL;
  *mesh = nullptr;
  const GUID* type = nullptr;
  HRESULT hr = xofMesh->GetType(&type);
  if (FAILED(hr)) return hr;
  if (type == nullptr || !IsEqualGUID(*type, TID_D3DRMMesh)) return D3DXERR_INVALIDDATA;

  meshgeo::MeshSource source;
  std::vector<MaterialRecord> materialRecords;
  hr = ReadMeshSource(xofMesh, &source, &materialRecords);
  if (FAILED(hr)) return hr;
  meshgeo::BuiltMesh built;
  if (meshgeo::BuildMesh(source, &built) != meshgeo::BuildResult::kOk) return D3DXERR_INVALIDDATA;
  if (built.indices.empty()) return D3DXERR_LOADEDMESHASNODATA;

  DWORD fvf = D3DFVF_XYZ | D3DFVF_NORMAL;
  if (source.hasColors) fvf |= D3DFVF_DIFFUSE;
  if (source.hasTexcoords) fvf |= D3DFVF_TEX1;
  if (built.vertices.size() > 0x10000) options |= D3DXMESH_32BIT;
  const DWORD numFaces = static_cast<DWORD>(built.indices.size() / 3);
  ComPtr<ID3DXMesh> created;
  hr = D3DXCreateMeshFVF(numFaces, static_cast<DWORD>(built.vertices.size()), options, fvf, device,
                         created.GetAddressOf());
  if (FAILED(hr)) return hr;
  hr = FillMesh(created.Get(), built);

  ComPtr<ID3DXBuffer> adjacencyBuffer;
  ComPtr<ID3DXBuffer> materialBuffer;
  if (SUCCEEDED(hr) && adjacency != nullptr) {
    std::vector<meshgeo::Float3> positions(built.vertices.size());
    for (size_t v = 0; v < positions.size(); ++v) positions[v] = built.vertices[v].position;
    hr = BufferOf(meshgeo::GenerateAdjacency(built.indices, meshgeo::ComputePointReps(positions)),
                  adjacencyBuffer.GetAddressOf());
  }
  if (SUCCEEDED(hr) && materials != nullptr && !materialRecords.empty())
    hr = MakeMaterialBuffer(materialRecords, materialBuffer.GetAddressOf());
  if (FAILED(hr)) return hr;
  if (adjacency != nullptr) *adjacency = adjacencyBuffer.Detach();
  if (materials != nullptr) *materials = materialBuffer.Detach();
  if (numMaterials != nullptr) *numMaterials = static_cast<DWORD>(materialRecords.size());
  *mesh = created.Detach();
  return S_OK;
}
