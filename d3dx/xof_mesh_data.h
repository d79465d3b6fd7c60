// Readers for the data blocks of the standard mesh templates as DirectX File hands them out:
// DWORDs and 32-bit floats packed in member order, arrays inline. Every count is checked
// against the bytes that remain before anything is allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "d3dx/mesh_geometry.h"

namespace xofdata {

// Mesh: vertices and faces.
bool ParseMesh(const void* data, size_t size, meshgeo::MeshSource* source);
// MeshNormals: normals and one normal polygon per face.
bool ParseMeshNormals(const void* data, size_t size, meshgeo::MeshSource* source);
// MeshTextureCoords: one pair per vertex.
bool ParseMeshTextureCoords(const void* data, size_t size, meshgeo::MeshSource* source);
// MeshVertexColors: indexed RGBA colours; vertices not named stay white.
bool ParseMeshVertexColors(const void* data, size_t size, meshgeo::MeshSource* source);

struct MaterialList {
  uint32_t numMaterials = 0;
  std::vector<uint32_t> faceIndexes;
};
// MeshMaterialList without its Material children.
bool ParseMeshMaterialList(const void* data, size_t size, MaterialList* list);

// One material index per face: a shorter list repeats its last entry, as exporters write it.
// Fails for an index outside the material count.
bool ExpandFaceMaterials(const MaterialList& list, size_t numFaces,
                         std::vector<uint32_t>* faceMaterials);

struct MaterialValues {
  float diffuse[4];
  float power;
  float specular[3];
  float emissive[3];
};
// Material: face colour, power, specular and emissive colour.
bool ParseMaterial(const void* data, size_t size, MaterialValues* material);

// A 0..1 RGBA colour as a D3DCOLOR (ARGB) word, clamped.
uint32_t ColorToArgb(const float rgba[4]);

}  // namespace xofdata
