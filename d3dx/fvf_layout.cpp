#include "d3dx/fvf_layout.h"

#include <cstring>

bool DescribeFvf(DWORD fvf, FvfLayout* layout) {
  const DWORD known = D3DFVF_POSITION_MASK | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR |
                      D3DFVF_TEXCOUNT_MASK;
  if ((fvf & ~known) != 0 || (fvf & D3DFVF_POSITION_MASK) != D3DFVF_XYZ) return false;
  UINT sets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
  if (sets > 8) return false;
  FvfLayout l;
  l.stride = 12;
  if (fvf & D3DFVF_NORMAL) {
    l.normal = static_cast<int>(l.stride);
    l.stride += 12;
  }
  if (fvf & D3DFVF_DIFFUSE) {
    l.diffuse = static_cast<int>(l.stride);
    l.stride += 4;
  }
  if (fvf & D3DFVF_SPECULAR) {
    l.specular = static_cast<int>(l.stride);
    l.stride += 4;
  }
  if (sets > 0) {
    l.texcoords = static_cast<int>(l.stride);
    l.texcoordSets = sets;
    l.stride += 8 * sets;
  }
  *layout = l;
  return true;
}

void ConvertVertices(const BYTE* source, const FvfLayout& from, BYTE* destination,
                     const FvfLayout& to, UINT count) {
  const DWORD white = 0xFFFFFFFFu;
  for (UINT i = 0; i < count; ++i) {
    const BYTE* s = source + static_cast<size_t>(i) * from.stride;
    BYTE* d = destination + static_cast<size_t>(i) * to.stride;
    std::memset(d, 0, to.stride);
    std::memcpy(d, s, 12);
    if (to.normal >= 0 && from.normal >= 0) std::memcpy(d + to.normal, s + from.normal, 12);
    if (to.diffuse >= 0) {
      std::memcpy(d + to.diffuse,
                  from.diffuse >= 0 ? s + from.diffuse : reinterpret_cast<const BYTE*>(&white), 4);
    }
    if (to.specular >= 0 && from.specular >= 0) std::memcpy(d + to.specular, s + from.specular, 4);
    UINT sets = to.texcoordSets < from.texcoordSets ? to.texcoordSets : from.texcoordSets;
    if (sets > 0) std::memcpy(d + to.texcoords, s + from.texcoords, 8 * sets);
  }
}

void EncodeVertex(const meshgeo::MeshVertex& vertex, const FvfLayout& layout, BYTE* destination) {
  std::memset(destination, 0, layout.stride);
  std::memcpy(destination, &vertex.position, 12);
  if (layout.normal >= 0) std::memcpy(destination + layout.normal, &vertex.normal, 12);
  if (layout.diffuse >= 0) std::memcpy(destination + layout.diffuse, &vertex.diffuse, 4);
  if (layout.texcoordSets > 0) std::memcpy(destination + layout.texcoords, &vertex.texcoord, 8);
}
