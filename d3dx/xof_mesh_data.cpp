#include "d3dx/xof_mesh_data.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace xofdata {

namespace {

class ByteReader {
 public:
  ByteReader(const void* data, size_t size)
      : bytes_(static_cast<const uint8_t*>(data)), size_(data != nullptr ? size : 0) {}

  size_t remaining() const { return size_ - position_; }

  // True when count items of itemSize bytes are still there (64-bit arithmetic).
  bool Has(uint64_t count, uint64_t itemSize) const {
    return itemSize == 0 || count <= remaining() / itemSize;
  }

  bool ReadU32(uint32_t* value) {
    if (remaining() < 4) return false;
    std::memcpy(value, bytes_ + position_, 4);
    position_ += 4;
    return true;
  }

  bool ReadFloats(float* values, size_t count) {
    if (!Has(count, 4)) return false;
    std::memcpy(values, bytes_ + position_, count * 4);
    position_ += count * 4;
    return true;
  }

 private:
  const uint8_t* bytes_;
  size_t size_;
  size_t position_ = 0;
};

bool ReadVectors(ByteReader& reader, std::vector<meshgeo::Float3>* out) {
  uint32_t count;
  if (!reader.ReadU32(&count) || !reader.Has(count, 12)) return false;
  out->resize(count);
  for (auto& v : *out) reader.ReadFloats(&v.x, 3);
  return true;
}

bool ReadPolygons(ByteReader& reader, meshgeo::PolygonList* out) {
  uint32_t numFaces;
  // Each face holds at least its own corner count.
  if (!reader.ReadU32(&numFaces) || !reader.Has(numFaces, 4)) return false;
  out->counts.resize(numFaces);
  out->indices.clear();
  for (uint32_t f = 0; f < numFaces; ++f) {
    uint32_t corners;
    if (!reader.ReadU32(&corners) || !reader.Has(corners, 4)) return false;
    out->counts[f] = corners;
    for (uint32_t k = 0; k < corners; ++k) {
      uint32_t index = 0;
      reader.ReadU32(&index);
      out->indices.push_back(index);
    }
  }
  return true;
}

}  // namespace

bool ParseMesh(const void* data, size_t size, meshgeo::MeshSource* source) {
  ByteReader reader(data, size);
  return ReadVectors(reader, &source->positions) && ReadPolygons(reader, &source->faces);
}

bool ParseMeshNormals(const void* data, size_t size, meshgeo::MeshSource* source) {
  ByteReader reader(data, size);
  if (!ReadVectors(reader, &source->normals) || !ReadPolygons(reader, &source->normalFaces))
    return false;
  source->hasNormals = true;
  return true;
}

bool ParseMeshTextureCoords(const void* data, size_t size, meshgeo::MeshSource* source) {
  ByteReader reader(data, size);
  uint32_t count;
  if (!reader.ReadU32(&count) || !reader.Has(count, 8)) return false;
  source->texcoords.resize(count);
  for (auto& t : source->texcoords) reader.ReadFloats(&t.u, 2);
  source->hasTexcoords = true;
  return true;
}

bool ParseMeshVertexColors(const void* data, size_t size, meshgeo::MeshSource* source) {
  ByteReader reader(data, size);
  uint32_t count;
  if (!reader.ReadU32(&count) || !reader.Has(count, 20)) return false;
  const size_t numVertices = source->positions.size();
  source->colors.assign(numVertices, 0xFFFFFFFFu);
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t index = 0;
    float rgba[4];
    reader.ReadU32(&index);
    reader.ReadFloats(rgba, 4);
    if (index >= numVertices) return false;
    source->colors[index] = ColorToArgb(rgba);
  }
  source->hasColors = true;
  return true;
}

bool ParseMeshMaterialList(const void* data, size_t size, MaterialList* list) {
  ByteReader reader(data, size);
  uint32_t count;
  if (!reader.ReadU32(&list->numMaterials) || !reader.ReadU32(&count) || !reader.Has(count, 4))
    return false;
  list->faceIndexes.resize(count);
  for (auto& index : list->faceIndexes) reader.ReadU32(&index);
  return true;
}

bool ExpandFaceMaterials(const MaterialList& list, size_t numFaces,
                         std::vector<uint32_t>* faceMaterials) {
  faceMaterials->assign(numFaces, 0);
  if (list.faceIndexes.empty()) return true;
  for (size_t f = 0; f < numFaces; ++f) {
    uint32_t index = list.faceIndexes[std::min(f, list.faceIndexes.size() - 1)];
    if (index >= list.numMaterials) return false;
    (*faceMaterials)[f] = index;
  }
  return true;
}

bool ParseMaterial(const void* data, size_t size, MaterialValues* material) {
  ByteReader reader(data, size);
  return reader.ReadFloats(material->diffuse, 4) && reader.ReadFloats(&material->power, 1) &&
         reader.ReadFloats(material->specular, 3) && reader.ReadFloats(material->emissive, 3);
}

uint32_t ColorToArgb(const float rgba[4]) {
  auto channel = [](float value) -> uint32_t {
    if (!(value > 0.0f)) return 0;  // also NaN
    if (value >= 1.0f) return 255;
    return static_cast<uint32_t>(std::lround(value * 255.0f));
  };
  return (channel(rgba[3]) << 24) | (channel(rgba[0]) << 16) | (channel(rgba[1]) << 8) |
         channel(rgba[2]);
}

}  // namespace xofdata
