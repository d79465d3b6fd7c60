// Small pieces shared by the mesh object and the mesh loader: buffer pools and usages from
// mesh options, index writing, and the attribute table in its public form.
#pragma once

#include <cstdint>
#include <vector>

#include "d3dx/d3dx8_mesh.h"
#include "d3dx/mesh_geometry.h"

struct MeshBufferPlacement {
  DWORD usage;
  D3DPOOL pool;
};

MeshBufferPlacement VertexBufferPlacement(DWORD options);
MeshBufferPlacement IndexBufferPlacement(DWORD options);

// Writes indices as 16- or 32-bit values over the whole buffer.
HRESULT WriteMeshIndices(IDirect3DIndexBuffer8* buffer, const std::vector<uint32_t>& indices,
                         bool use32Bit);

std::vector<D3DXATTRIBUTERANGE> ToAttributeTable(const meshgeo::OptimizeResult& result);
