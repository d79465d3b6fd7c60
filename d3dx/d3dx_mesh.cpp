// The mesh object: Direct3D vertex and index buffers, attributes in memory, and the
// optimisation and cloning that work on copies of the buffers' contents.
#include <wrl/client.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "d3dx/d3dx8_mesh.h"
#include "d3dx/fvf_layout.h"
#include "d3dx/mesh_buffers.h"
#include "d3dx/mesh_geometry.h"

using Microsoft::WRL::ComPtr;

namespace {

// Far more than any mesh this program draws; keeps buffer sizes well inside 32 bits.
constexpr DWORD kMaxFaces = 0x01000000;
constexpr DWORD kMaxVertices = 0x01000000;

class Mesh final : public ID3DXMesh {
 public:
  Mesh(IDirect3DDevice8* device, DWORD options, DWORD fvf, const FvfLayout& layout)
      : device_(device), options_(options), fvf_(fvf), layout_(layout) {}

  HRESULT Create(DWORD numFaces, DWORD numVertices) {
    numFaces_ = numFaces;
    numVertices_ = numVertices;
    attributes_.assign(numFaces, 0);
    HRESULT hr = CreateVertexBuffer(numVertices);
    if (FAILED(hr)) return hr;
    return CreateIndexBuffer(numFaces);
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_ID3DXMesh)) {
      AddRef();
      *object = static_cast<ID3DXMesh*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE DrawSubset(DWORD attribId) override;
  DWORD STDMETHODCALLTYPE GetNumFaces() override { return numFaces_; }
  DWORD STDMETHODCALLTYPE GetNumVertices() override { return numVertices_; }
  DWORD STDMETHODCALLTYPE GetFVF() override { return fvf_; }
  DWORD STDMETHODCALLTYPE GetOptions() override { return options_; }
  HRESULT STDMETHODCALLTYPE GetDevice(LPDIRECT3DDEVICE8* device) override {
    if (device == nullptr) return D3DERR_INVALIDCALL;
    return device_.CopyTo(device);
  }
  HRESULT STDMETHODCALLTYPE CloneMeshFVF(DWORD options, DWORD fvf, LPDIRECT3DDEVICE8 device,
                                         LPD3DXMESH* mesh) override;
  HRESULT STDMETHODCALLTYPE GetVertexBuffer(LPDIRECT3DVERTEXBUFFER8* buffer) override {
    if (buffer == nullptr) return D3DERR_INVALIDCALL;
    return vertexBuffer_.CopyTo(buffer);
  }
  HRESULT STDMETHODCALLTYPE GetIndexBuffer(LPDIRECT3DINDEXBUFFER8* buffer) override {
    if (buffer == nullptr) return D3DERR_INVALIDCALL;
    return indexBuffer_.CopyTo(buffer);
  }
  HRESULT STDMETHODCALLTYPE LockVertexBuffer(DWORD flags, BYTE** data) override {
    if (data == nullptr) return D3DERR_INVALIDCALL;
    return vertexBuffer_->Lock(0, 0, data, flags);
  }
  HRESULT STDMETHODCALLTYPE UnlockVertexBuffer() override { return vertexBuffer_->Unlock(); }
  HRESULT STDMETHODCALLTYPE LockIndexBuffer(DWORD flags, BYTE** data) override {
    if (data == nullptr) return D3DERR_INVALIDCALL;
    // New indices may leave the vertex spans of the table behind.
    if ((flags & D3DLOCK_READONLY) == 0) attributeTable_.clear();
    return indexBuffer_->Lock(0, 0, data, flags);
  }
  HRESULT STDMETHODCALLTYPE UnlockIndexBuffer() override { return indexBuffer_->Unlock(); }
  HRESULT STDMETHODCALLTYPE GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) override {
    if (size == nullptr) return D3DERR_INVALIDCALL;
    if (table == nullptr) {
      *size = static_cast<DWORD>(attributeTable_.size());
      return S_OK;
    }
    DWORD count = std::min<DWORD>(*size, static_cast<DWORD>(attributeTable_.size()));
    std::copy(attributeTable_.begin(), attributeTable_.begin() + count, table);
    *size = count;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE LockAttributeBuffer(DWORD flags, DWORD** data) override {
    if (data == nullptr) return D3DERR_INVALIDCALL;
    // The table describes sorted attributes; after a write it may not.
    if ((flags & D3DLOCK_READONLY) == 0) attributeTable_.clear();
    *data = attributes_.data();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE UnlockAttributeBuffer() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OptimizeInplace(DWORD flags, const DWORD* adjacencyIn,
                                            DWORD* adjacencyOut, DWORD* faceRemap,
                                            LPD3DXBUFFER* vertexRemap) override;

  // Copies of the buffer contents, and writing them back (recreating a buffer whose size
  // changes).
  HRESULT ReadIndices(std::vector<uint32_t>* indices);
  HRESULT ReadVertices(std::vector<BYTE>* bytes);
  HRESULT WriteGeometry(const std::vector<BYTE>& vertices, DWORD numVertices,
                        const std::vector<uint32_t>& indices);
  void SetAttributes(const std::vector<uint32_t>& attributes,
                     const std::vector<D3DXATTRIBUTERANGE>& table) {
    attributes_.assign(attributes.begin(), attributes.end());
    attributeTable_ = table;
  }
  const std::vector<DWORD>& attributes() const { return attributes_; }
  const std::vector<D3DXATTRIBUTERANGE>& attributeTable() const { return attributeTable_; }

 private:
  bool Uses32BitIndices() const { return (options_ & D3DXMESH_32BIT) != 0; }
  HRESULT CreateVertexBuffer(DWORD numVertices);
  HRESULT CreateIndexBuffer(DWORD numFaces);

  ComPtr<IDirect3DDevice8> device_;
  DWORD options_;
  DWORD fvf_;
  FvfLayout layout_;
  DWORD numFaces_ = 0;
  DWORD numVertices_ = 0;
  ComPtr<IDirect3DVertexBuffer8> vertexBuffer_;
  ComPtr<IDirect3DIndexBuffer8> indexBuffer_;
  std::vector<DWORD> attributes_;
  std::vector<D3DXATTRIBUTERANGE> attributeTable_;
  ULONG references_ = 1;
};

HRESULT Mesh::CreateVertexBuffer(DWORD numVertices) {
  MeshBufferPlacement vb = VertexBufferPlacement(options_);
  return device_->CreateVertexBuffer(numVertices * layout_.stride, vb.usage, fvf_, vb.pool,
                                     vertexBuffer_.ReleaseAndGetAddressOf());
}

HRESULT Mesh::CreateIndexBuffer(DWORD numFaces) {
  MeshBufferPlacement ib = IndexBufferPlacement(options_);
  UINT indexSize = Uses32BitIndices() ? 4 : 2;
  return device_->CreateIndexBuffer(numFaces * 3 * indexSize, ib.usage,
                                    Uses32BitIndices() ? D3DFMT_INDEX32 : D3DFMT_INDEX16, ib.pool,
                                    indexBuffer_.ReleaseAndGetAddressOf());
}

HRESULT Mesh::DrawSubset(DWORD attribId) {
  HRESULT hr = device_->SetVertexShader(fvf_);
  if (SUCCEEDED(hr)) hr = device_->SetStreamSource(0, vertexBuffer_.Get(), layout_.stride);
  if (SUCCEEDED(hr)) hr = device_->SetIndices(indexBuffer_.Get(), 0);
  if (FAILED(hr)) return hr;
  if (!attributeTable_.empty()) {
    for (const D3DXATTRIBUTERANGE& range : attributeTable_) {
      if (range.AttribId != attribId || range.FaceCount == 0) continue;
      hr = device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, range.VertexStart, range.VertexCount,
                                         range.FaceStart * 3, range.FaceCount);
      if (FAILED(hr)) return hr;
    }
    return S_OK;
  }
  // Without a table, draw each run of faces carrying the attribute.
  DWORD face = 0;
  while (face < numFaces_) {
    if (attributes_[face] != attribId) {
      ++face;
      continue;
    }
    DWORD end = face;
    while (end < numFaces_ && attributes_[end] == attribId) ++end;
    hr = device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, numVertices_, face * 3, end - face);
    if (FAILED(hr)) return hr;
    face = end;
  }
  return S_OK;
}

HRESULT Mesh::ReadIndices(std::vector<uint32_t>* indices) {
  BYTE* data = nullptr;
  HRESULT hr = indexBuffer_->Lock(0, 0, &data, D3DLOCK_READONLY);
  if (FAILED(hr)) return hr;
  indices->resize(static_cast<size_t>(numFaces_) * 3);
  for (size_t i = 0; i < indices->size(); ++i) {
    if (Uses32BitIndices()) {
      std::memcpy(&(*indices)[i], data + i * 4, 4);
    } else {
      uint16_t value;
      std::memcpy(&value, data + i * 2, 2);
      (*indices)[i] = value;
    }
  }
  indexBuffer_->Unlock();
  return S_OK;
}

HRESULT Mesh::ReadVertices(std::vector<BYTE>* bytes) {
  BYTE* data = nullptr;
  HRESULT hr = vertexBuffer_->Lock(0, 0, &data, D3DLOCK_READONLY);
  if (FAILED(hr)) return hr;
  bytes->assign(data, data + static_cast<size_t>(numVertices_) * layout_.stride);
  vertexBuffer_->Unlock();
  return S_OK;
}

HRESULT Mesh::WriteGeometry(const std::vector<BYTE>& vertices, DWORD numVertices,
                            const std::vector<uint32_t>& indices) {
  if (numVertices != numVertices_) {
    // The old buffer stays in place if the new one cannot be made.
    ComPtr<IDirect3DVertexBuffer8> old = std::move(vertexBuffer_);
    HRESULT hr = CreateVertexBuffer(numVertices);
    if (FAILED(hr)) {
      vertexBuffer_ = std::move(old);
      return hr;
    }
    numVertices_ = numVertices;
  }
  BYTE* data = nullptr;
  HRESULT hr = vertexBuffer_->Lock(0, 0, &data, 0);
  if (FAILED(hr)) return hr;
  std::memcpy(data, vertices.data(), static_cast<size_t>(numVertices) * layout_.stride);
  vertexBuffer_->Unlock();
  return WriteMeshIndices(indexBuffer_.Get(), indices, Uses32BitIndices());
}

HRESULT Mesh::OptimizeInplace(DWORD flags, const DWORD* adjacencyIn, DWORD* adjacencyOut,
                              DWORD* faceRemap, LPD3DXBUFFER* vertexRemap) {
  if (vertexRemap != nullptr) *vertexRemap = nullptr;
  const DWORD supported = D3DXMESHOPT_COMPACT | D3DXMESHOPT_ATTRSORT | D3DXMESHOPT_VERTEXCACHE;
  if ((flags & ~supported) != 0) return D3DERR_INVALIDCALL;

  std::vector<uint32_t> indices;
  std::vector<BYTE> vertices;
  HRESULT hr = ReadIndices(&indices);
  if (SUCCEEDED(hr)) hr = ReadVertices(&vertices);
  if (FAILED(hr)) return hr;

  meshgeo::OptimizeOptions options;
  options.compact = (flags & D3DXMESHOPT_COMPACT) != 0;
  options.attributeSort = (flags & D3DXMESHOPT_ATTRSORT) != 0;
  options.vertexCache = (flags & D3DXMESHOPT_VERTEXCACHE) != 0;
  std::vector<uint32_t> attributes(attributes_.begin(), attributes_.end());
  meshgeo::OptimizeResult result;
  if (!meshgeo::OptimizeFaces(indices, attributes, numVertices_, options, &result))
    return D3DXERR_INVALIDMESH;
  // A compacted mesh with no faces left would have no vertex buffer to draw from.
  if (result.vertexRemap.empty()) return D3DXERR_INVALIDMESH;

  std::vector<uint32_t> adjacency;
  if (adjacencyOut != nullptr) {
    if (adjacencyIn != nullptr) {
      adjacency.assign(adjacencyIn, adjacencyIn + indices.size());
    } else {
      std::vector<meshgeo::Float3> positions(numVertices_);
      for (DWORD v = 0; v < numVertices_; ++v)
        std::memcpy(&positions[v], &vertices[static_cast<size_t>(v) * layout_.stride], 12);
      adjacency = meshgeo::GenerateAdjacency(indices, meshgeo::ComputePointReps(positions));
    }
  }

  ComPtr<ID3DXBuffer> remapBuffer;
  if (vertexRemap != nullptr) {
    hr = D3DXCreateBuffer(static_cast<DWORD>(result.vertexRemap.size() * sizeof(DWORD)),
                          remapBuffer.GetAddressOf());
    if (FAILED(hr)) return hr;
    std::memcpy(remapBuffer->GetBufferPointer(), result.vertexRemap.data(),
                result.vertexRemap.size() * sizeof(DWORD));
  }

  const DWORD newVertexCount = static_cast<DWORD>(result.vertexRemap.size());
  std::vector<BYTE> reordered(static_cast<size_t>(newVertexCount) * layout_.stride);
  for (DWORD n = 0; n < newVertexCount; ++n) {
    std::memcpy(&reordered[static_cast<size_t>(n) * layout_.stride],
                &vertices[static_cast<size_t>(result.vertexRemap[n]) * layout_.stride],
                layout_.stride);
  }
  hr = WriteGeometry(reordered, newVertexCount, result.indices);
  if (FAILED(hr)) return hr;

  std::vector<D3DXATTRIBUTERANGE> table;
  if (options.attributeSort || options.vertexCache) table = ToAttributeTable(result);
  SetAttributes(result.attributes, table);

  if (adjacencyOut != nullptr) {
    std::vector<uint32_t> remapped = meshgeo::RemapAdjacency(adjacency, result.faceRemap);
    std::copy(remapped.begin(), remapped.end(), adjacencyOut);
  }
  if (faceRemap != nullptr) std::copy(result.faceRemap.begin(), result.faceRemap.end(), faceRemap);
  if (vertexRemap != nullptr) *vertexRemap = remapBuffer.Detach();
  return S_OK;
}

HRESULT Mesh::CloneMeshFVF(DWORD options, DWORD fvf, LPDIRECT3DDEVICE8 device, LPD3DXMESH* mesh) {
  if (mesh == nullptr || device == nullptr) return D3DERR_INVALIDCALL;
  *mesh = nullptr;
  // The clone keeps 32-bit indices when its vertices need them.
  if (Uses32BitIndices() && numVertices_ > 0x10000) options |= D3DXMESH_32BIT;
  ComPtr<ID3DXMesh> created;
  HRESULT hr =
      D3DXCreateMeshFVF(numFaces_, numVertices_, options, fvf, device, created.GetAddressOf());
  if (FAILED(hr)) return hr;
  Mesh* clone = static_cast<Mesh*>(created.Get());

  std::vector<uint32_t> indices;
  std::vector<BYTE> vertices;
  hr = ReadIndices(&indices);
  if (SUCCEEDED(hr)) hr = ReadVertices(&vertices);
  if (SUCCEEDED(hr)) {
    std::vector<BYTE> converted(static_cast<size_t>(numVertices_) * clone->layout_.stride);
    ConvertVertices(vertices.data(), layout_, converted.data(), clone->layout_, numVertices_);
    hr = clone->WriteGeometry(converted, numVertices_, indices);
  }
  if (FAILED(hr)) return hr;
  clone->attributes_ = attributes_;
  clone->attributeTable_ = attributeTable_;
  *mesh = created.Detach();
  return S_OK;
}

}  // namespace

UINT WINAPI D3DXGetFVFVertexSize(DWORD fvf) {
  FvfLayout layout;
  return DescribeFvf(fvf, &layout) ? layout.stride : 0;
}

HRESULT WINAPI D3DXCreateMeshFVF(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf,
                                 LPDIRECT3DDEVICE8 device, LPD3DXMESH* mesh) {
  if (mesh == nullptr) return D3DERR_INVALIDCALL;
  *mesh = nullptr;
  FvfLayout layout;
  if (device == nullptr || numFaces == 0 || numVertices == 0 || numFaces > kMaxFaces ||
      numVertices > kMaxVertices || !DescribeFvf(fvf, &layout))
    return D3DERR_INVALIDCALL;
  // 16-bit indices reach 65536 vertices.
  if ((options & D3DXMESH_32BIT) == 0 && numVertices > 0x10000) return D3DERR_INVALIDCALL;
  // A new object starts with its one reference, which the owner takes over.
  ComPtr<Mesh> object;
  *object.GetAddressOf() = new (std::nothrow) Mesh(device, options, fvf, layout);
  if (object == nullptr) return E_OUTOFMEMORY;
  HRESULT hr = object->Create(numFaces, numVertices);
  if (FAILED(hr)) return hr;
  *mesh = object.Detach();
  return S_OK;
}
