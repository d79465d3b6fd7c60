#include "d3dx/mesh_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <unordered_map>
#include <utility>

namespace meshgeo {

namespace {

// More than this many vertices or triangles is not a mesh a screen saver draws.
constexpr uint64_t kMaxElements = 0x01000000;

bool SameVector(const Float3& a, const Float3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

Float3 Normalized(Float3 v) {
  float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  if (length == 0.0f || !std::isfinite(length)) return {0.0f, 0.0f, 0.0f};
  return {v.x / length, v.y / length, v.z / length};
}

uint64_t PositionKey(const Float3& p) {
  uint32_t bits[3];
  // +0.0 and -0.0 are the same point.
  float values[3] = {p.x + 0.0f, p.y + 0.0f, p.z + 0.0f};
  std::memcpy(bits, values, sizeof(bits));
  uint64_t h = 1469598103934665603ull;
  for (uint32_t b : bits) h = (h ^ b) * 1099511628211ull;
  return h;
}

}  // namespace

bool TriangulatePolygons(const PolygonList& polygons, std::vector<uint32_t>* triangles,
                         std::vector<uint32_t>* faceOrigin) {
  triangles->clear();
  if (faceOrigin != nullptr) faceOrigin->clear();
  uint64_t total = 0;
  for (uint32_t count : polygons.counts) total += count;
  if (total != polygons.indices.size()) return false;
  size_t corner = 0;
  for (size_t face = 0; face < polygons.counts.size(); ++face) {
    uint32_t count = polygons.counts[face];
    for (uint32_t k = 1; k + 1 < count; ++k) {
      triangles->push_back(polygons.indices[corner]);
      triangles->push_back(polygons.indices[corner + k]);
      triangles->push_back(polygons.indices[corner + k + 1]);
      if (faceOrigin != nullptr) faceOrigin->push_back(static_cast<uint32_t>(face));
    }
    corner += count;
  }
  return true;
}

void ComputeNormals(const std::vector<Float3>& positions, const std::vector<uint32_t>& triangles,
                    std::vector<Float3>* normals) {
  std::vector<Float3> sums(positions.size(), Float3{0.0f, 0.0f, 0.0f});
  for (size_t t = 0; t + 2 < triangles.size(); t += 3) {
    uint32_t a = triangles[t], b = triangles[t + 1], c = triangles[t + 2];
    if (a >= positions.size() || b >= positions.size() || c >= positions.size()) continue;
    const Float3& p0 = positions[a];
    const Float3& p1 = positions[b];
    const Float3& p2 = positions[c];
    Float3 e1{p1.x - p0.x, p1.y - p0.y, p1.z - p0.z};
    Float3 e2{p2.x - p0.x, p2.y - p0.y, p2.z - p0.z};
    // Left-handed, clockwise front faces: e1 x e2 points out of the front side.
    Float3 n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
    for (uint32_t v : {a, b, c}) {
      sums[v].x += n.x;
      sums[v].y += n.y;
      sums[v].z += n.z;
    }
  }
  normals->resize(positions.size());
  for (size_t i = 0; i < positions.size(); ++i) (*normals)[i] = Normalized(sums[i]);
}

BuildResult BuildMesh(const MeshSource& source, BuiltMesh* out) {
  out->vertices.clear();
  out->indices.clear();
  out->attributes.clear();
  const size_t numPositions = source.positions.size();
  const size_t numFaces = source.faces.counts.size();
  if (numPositions > kMaxElements) return BuildResult::kTooLarge;
  if (source.hasTexcoords && source.texcoords.size() != numPositions)
    return BuildResult::kCountMismatch;
  if (source.hasColors && source.colors.size() != numPositions) return BuildResult::kCountMismatch;
  if (source.faceMaterials.size() != 0 && source.faceMaterials.size() != numFaces)
    return BuildResult::kCountMismatch;
  if (source.hasNormals && source.normalFaces.counts != source.faces.counts)
    return BuildResult::kCountMismatch;

  std::vector<uint32_t> triangles, origin;
  if (!TriangulatePolygons(source.faces, &triangles, &origin)) return BuildResult::kCountMismatch;
  if (triangles.size() / 3 > kMaxElements) return BuildResult::kTooLarge;
  for (uint32_t index : source.faces.indices)
    if (index >= numPositions) return BuildResult::kBadIndex;
  if (source.hasNormals) {
    if (source.normalFaces.indices.size() != source.faces.indices.size())
      return BuildResult::kCountMismatch;
    for (uint32_t index : source.normalFaces.indices)
      if (index >= source.normals.size()) return BuildResult::kBadIndex;
  }

  out->vertices.resize(numPositions);
  for (size_t i = 0; i < numPositions; ++i) {
    MeshVertex& v = out->vertices[i];
    v.position = source.positions[i];
    v.normal = {0.0f, 0.0f, 0.0f};
    v.diffuse = source.hasColors ? source.colors[i] : 0xFFFFFFFFu;
    v.texcoord = source.hasTexcoords ? source.texcoords[i] : Float2{0.0f, 0.0f};
  }

  // Corner c of the flat polygon list uses position faces.indices[c]; with normals, it may
  // need its own copy of that vertex.
  std::vector<uint32_t> cornerVertex(source.faces.indices.begin(), source.faces.indices.end());
  if (source.hasNormals) {
    std::vector<uint32_t> assignedNormal(numPositions, kNoNeighbour);
    std::map<std::pair<uint32_t, uint32_t>, uint32_t> copies;
    for (size_t c = 0; c < cornerVertex.size(); ++c) {
      uint32_t position = source.faces.indices[c];
      uint32_t normal = source.normalFaces.indices[c];
      if (assignedNormal[position] == kNoNeighbour) {
        assignedNormal[position] = normal;
        out->vertices[position].normal = source.normals[normal];
        continue;
      }
      if (assignedNormal[position] == normal ||
          SameVector(source.normals[assignedNormal[position]], source.normals[normal]))
        continue;
      auto key = std::make_pair(position, normal);
      auto found = copies.find(key);
      if (found != copies.end()) {
        cornerVertex[c] = found->second;
        continue;
      }
      if (out->vertices.size() >= kMaxElements) return BuildResult::kTooLarge;
      MeshVertex copy = out->vertices[position];
      copy.normal = source.normals[normal];
      uint32_t index = static_cast<uint32_t>(out->vertices.size());
      out->vertices.push_back(copy);
      copies.emplace(key, index);
      cornerVertex[c] = index;
    }
  }

  PolygonList expanded{source.faces.counts, cornerVertex};
  TriangulatePolygons(expanded, &out->indices, nullptr);
  out->attributes.resize(origin.size());
  for (size_t t = 0; t < origin.size(); ++t)
    out->attributes[t] = source.faceMaterials.empty() ? 0 : source.faceMaterials[origin[t]];

  if (!source.hasNormals) {
    std::vector<Float3> positions(out->vertices.size());
    for (size_t i = 0; i < positions.size(); ++i) positions[i] = out->vertices[i].position;
    std::vector<Float3> normals;
    ComputeNormals(positions, out->indices, &normals);
    for (size_t i = 0; i < normals.size(); ++i) out->vertices[i].normal = normals[i];
  }
  return BuildResult::kOk;
}

std::vector<uint32_t> ComputePointReps(const std::vector<Float3>& positions) {
  std::vector<uint32_t> reps(positions.size());
  std::unordered_multimap<uint64_t, uint32_t> seen;
  for (uint32_t i = 0; i < positions.size(); ++i) {
    reps[i] = i;
    auto range = seen.equal_range(PositionKey(positions[i]));
    for (auto it = range.first; it != range.second; ++it) {
      if (SameVector(positions[it->second], positions[i])) {
        reps[i] = it->second;
        break;
      }
    }
    if (reps[i] == i) seen.emplace(PositionKey(positions[i]), i);
  }
  return reps;
}

std::vector<uint32_t> GenerateAdjacency(const std::vector<uint32_t>& triangles,
                                        const std::vector<uint32_t>& pointReps) {
  const size_t numFaces = triangles.size() / 3;
  std::vector<uint32_t> adjacency(numFaces * 3, kNoNeighbour);
  auto rep = [&](uint32_t v) { return v < pointReps.size() ? pointReps[v] : v; };
  std::unordered_multimap<uint64_t, uint32_t> edges;  // directed edge -> face * 3 + edge
  edges.reserve(numFaces * 3);
  for (uint32_t f = 0; f < numFaces; ++f) {
    for (uint32_t k = 0; k < 3; ++k) {
      uint64_t a = rep(triangles[f * 3 + k]), b = rep(triangles[f * 3 + (k + 1) % 3]);
      edges.emplace((a << 32) | b, f * 3 + k);
    }
  }
  for (uint32_t f = 0; f < numFaces; ++f) {
    for (uint32_t k = 0; k < 3; ++k) {
      if (adjacency[f * 3 + k] != kNoNeighbour) continue;
      uint64_t a = rep(triangles[f * 3 + k]), b = rep(triangles[f * 3 + (k + 1) % 3]);
      if (a == b) continue;
      auto range = edges.equal_range((b << 32) | a);
      for (auto it = range.first; it != range.second; ++it) {
        uint32_t other = it->second / 3, edge = it->second % 3;
        if (other == f || adjacency[other * 3 + edge] != kNoNeighbour) continue;
        adjacency[f * 3 + k] = other;
        adjacency[other * 3 + edge] = f;
        break;
      }
    }
  }
  return adjacency;
}

std::vector<uint32_t> RemapAdjacency(const std::vector<uint32_t>& adjacency,
                                     const std::vector<uint32_t>& faceRemap) {
  std::vector<uint32_t> oldToNew(faceRemap.size(), kNoNeighbour);
  for (uint32_t n = 0; n < faceRemap.size(); ++n)
    if (faceRemap[n] < oldToNew.size()) oldToNew[faceRemap[n]] = n;
  std::vector<uint32_t> result(faceRemap.size() * 3, kNoNeighbour);
  for (uint32_t n = 0; n < faceRemap.size(); ++n) {
    uint32_t old = faceRemap[n];
    for (uint32_t k = 0; k < 3; ++k) {
      if (static_cast<size_t>(old) * 3 + k >= adjacency.size()) continue;
      uint32_t neighbour = adjacency[old * 3 + k];
      result[n * 3 + k] = neighbour < oldToNew.size() ? oldToNew[neighbour] : kNoNeighbour;
    }
  }
  return result;
}

std::vector<AttributeRange> BuildAttributeTable(const std::vector<uint32_t>& indices,
                                                const std::vector<uint32_t>& attributes) {
  std::vector<AttributeRange> table;
  const uint32_t numFaces = static_cast<uint32_t>(std::min(indices.size() / 3, attributes.size()));
  uint32_t start = 0;
  while (start < numFaces) {
    uint32_t end = start;
    uint32_t low = 0xFFFFFFFFu, high = 0;
    while (end < numFaces && attributes[end] == attributes[start]) {
      for (uint32_t k = 0; k < 3; ++k) {
        low = std::min(low, indices[end * 3 + k]);
        high = std::max(high, indices[end * 3 + k]);
      }
      ++end;
    }
    table.push_back({attributes[start], start, end - start, low, high - low + 1});
    start = end;
  }
  return table;
}

double AverageCacheMissRatio(const std::vector<uint32_t>& indices, uint32_t cacheSize) {
  if (indices.size() < 3 || cacheSize == 0) return 0.0;
  std::vector<uint32_t> fifo;
  size_t misses = 0;
  for (uint32_t index : indices) {
    if (std::find(fifo.begin(), fifo.end(), index) != fifo.end()) continue;
    ++misses;
    fifo.push_back(index);
    if (fifo.size() > cacheSize) fifo.erase(fifo.begin());
  }
  return static_cast<double>(misses) / static_cast<double>(indices.size() / 3);
}

}  // namespace meshgeo
