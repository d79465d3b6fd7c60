// Mesh building and optimisation over plain arrays: polygons to triangles, per-corner
// normals to vertices, computed normals, adjacency, attribute sort, vertex-cache order and
// compaction. The Direct3D mesh object is a thin layer over these.
#pragma once

#include <cstdint>
#include <vector>

namespace meshgeo {

constexpr uint32_t kNoNeighbour = 0xFFFFFFFFu;

struct Float2 {
  float u, v;
};

struct Float3 {
  float x, y, z;
};

// Polygons as a count per face followed by the flat list of their corner indices.
struct PolygonList {
  std::vector<uint32_t> counts;
  std::vector<uint32_t> indices;
};

// One mesh as a file describes it: positions, polygons, and the optional per-vertex data.
struct MeshSource {
  std::vector<Float3> positions;
  PolygonList faces;
  bool hasNormals = false;
  std::vector<Float3> normals;
  PolygonList normalFaces;  // one polygon per face, indexing normals
  bool hasTexcoords = false;
  std::vector<Float2> texcoords;  // one per position
  bool hasColors = false;
  std::vector<uint32_t> colors;         // one ARGB per position
  std::vector<uint32_t> faceMaterials;  // material per polygon; empty = material 0
};

struct MeshVertex {
  Float3 position;
  Float3 normal;
  uint32_t diffuse;
  Float2 texcoord;
};

// Triangles ready for buffers: three indices and one attribute per face.
struct BuiltMesh {
  std::vector<MeshVertex> vertices;
  std::vector<uint32_t> indices;
  std::vector<uint32_t> attributes;
};

enum class BuildResult { kOk, kBadIndex, kCountMismatch, kTooLarge };

// Vertices come first in file order; a position used with differing normals is repeated
// after them once per extra normal. Polygons become fans. Without normals, area-weighted
// normals of the triangles are computed. Polygons with fewer than three corners are dropped.
BuildResult BuildMesh(const MeshSource& source, BuiltMesh* out);

// Fan triangulation; the polygon each triangle came from goes to faceOrigin.
bool TriangulatePolygons(const PolygonList& polygons, std::vector<uint32_t>* triangles,
                         std::vector<uint32_t>* faceOrigin);

// Smooth per-vertex normals from the triangles around each vertex; unused vertices and
// degenerate surroundings get a zero normal.
void ComputeNormals(const std::vector<Float3>& positions, const std::vector<uint32_t>& triangles,
                    std::vector<Float3>* normals);

// For each vertex the first vertex with exactly the same position.
std::vector<uint32_t> ComputePointReps(const std::vector<Float3>& positions);

// Three neighbours per face (edge 0-1, 1-2, 2-0): the face sharing that edge in the other
// direction, vertices joined through their point representatives; kNoNeighbour if none.
std::vector<uint32_t> GenerateAdjacency(const std::vector<uint32_t>& triangles,
                                        const std::vector<uint32_t>& pointReps);

struct OptimizeOptions {
  bool compact = false;        // drop vertices no face uses
  bool attributeSort = false;  // group faces by attribute, stable
  bool vertexCache = false;    // reorder faces within each group for the post-transform cache
};

struct OptimizeResult {
  std::vector<uint32_t> indices;
  std::vector<uint32_t> attributes;
  std::vector<uint32_t> faceRemap;    // new face -> old face
  std::vector<uint32_t> vertexRemap;  // new vertex -> old vertex
};

// Fails (returns false) when an index is out of range.
bool OptimizeFaces(const std::vector<uint32_t>& indices, const std::vector<uint32_t>& attributes,
                   uint32_t numVertices, const OptimizeOptions& options, OptimizeResult* out);

// Adjacency rewritten for a new face order (faceRemap: new -> old).
std::vector<uint32_t> RemapAdjacency(const std::vector<uint32_t>& adjacency,
                                     const std::vector<uint32_t>& faceRemap);

struct AttributeRange {
  uint32_t attribId;
  uint32_t faceStart;
  uint32_t faceCount;
  uint32_t vertexStart;
  uint32_t vertexCount;
};

// One range per run of faces with the same attribute, with the vertex span they use.
std::vector<AttributeRange> BuildAttributeTable(const std::vector<uint32_t>& indices,
                                                const std::vector<uint32_t>& attributes);

// Average cache misses per triangle for a FIFO cache of the given size (lower is better).
double AverageCacheMissRatio(const std::vector<uint32_t>& indices, uint32_t cacheSize);

}  // namespace meshgeo
