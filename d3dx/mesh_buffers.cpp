#include "d3dx/mesh_buffers.h"

#include <cstring>

namespace {

MeshBufferPlacement Placement(DWORD options, DWORD systemMem, DWORD managed, DWORD writeOnly,
                              DWORD dynamic, DWORD software) {
  MeshBufferPlacement p{0, D3DPOOL_DEFAULT};
  if (options & systemMem) {
    p.pool = D3DPOOL_SYSTEMMEM;
  } else if (options & managed) {
    p.pool = D3DPOOL_MANAGED;
  }
  if (options & writeOnly) p.usage |= D3DUSAGE_WRITEONLY;
  if (options & dynamic) p.usage |= D3DUSAGE_DYNAMIC;
  if (options & software) p.usage |= D3DUSAGE_SOFTWAREPROCESSING;
  if (options & D3DXMESH_DONOTCLIP) p.usage |= D3DUSAGE_DONOTCLIP;
  return p;
}

}  // namespace

MeshBufferPlacement VertexBufferPlacement(DWORD options) {
  return Placement(options, D3DXMESH_VB_SYSTEMMEM, D3DXMESH_VB_MANAGED, D3DXMESH_VB_WRITEONLY,
                   D3DXMESH_VB_DYNAMIC, D3DXMESH_VB_SOFTWAREPROCESSING);
}

MeshBufferPlacement IndexBufferPlacement(DWORD options) {
  return Placement(options, D3DXMESH_IB_SYSTEMMEM, D3DXMESH_IB_MANAGED, D3DXMESH_IB_WRITEONLY,
                   D3DXMESH_IB_DYNAMIC, D3DXMESH_IB_SOFTWAREPROCESSING);
}

HRESULT WriteMeshIndices(IDirect3DIndexBuffer8* buffer, const std::vector<uint32_t>& indices,
                         bool use32Bit) {
  BYTE* data = nullptr;
  HRESULT hr = buffer->Lock(0, 0, &data, 0);
  if (FAILED(hr)) return hr;
  for (size_t i = 0; i < indices.size(); ++i) {
    if (use32Bit) {
      std::memcpy(data + i * 4, &indices[i], 4);
    } else {
      uint16_t value = static_cast<uint16_t>(indices[i]);
      std::memcpy(data + i * 2, &value, 2);
    }
  }
  return buffer->Unlock();
}

std::vector<D3DXATTRIBUTERANGE> ToAttributeTable(const meshgeo::OptimizeResult& result) {
  std::vector<D3DXATTRIBUTERANGE> table;
  for (const meshgeo::AttributeRange& r :
       meshgeo::BuildAttributeTable(result.indices, result.attributes))
    table.push_back({r.attribId, r.faceStart, r.faceCount, r.vertexStart, r.vertexCount});
  return table;
}
