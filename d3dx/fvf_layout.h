// Where each component of a flexible-vertex-format vertex lies, and conversion between
// formats. Only untransformed XYZ positions with optional normal, diffuse, specular and
// two-dimensional texture coordinate sets are handled.
#pragma once

#include <windows.h>

#include <d3d8types.h>

#include "d3dx/mesh_geometry.h"

struct FvfLayout {
  UINT stride = 0;
  int normal = -1;  // byte offsets, -1 when absent
  int diffuse = -1;
  int specular = -1;
  int texcoords = -1;
  UINT texcoordSets = 0;
};

// False for a format outside what the library handles.
bool DescribeFvf(DWORD fvf, FvfLayout* layout);

// Copies count vertices from one format to another: shared components are copied, missing
// ones become zero (diffuse white).
void ConvertVertices(const BYTE* source, const FvfLayout& from, BYTE* destination,
                     const FvfLayout& to, UINT count);

// Writes one built vertex in the given format (first texture set only).
void EncodeVertex(const meshgeo::MeshVertex& vertex, const FvfLayout& layout, BYTE* destination);
