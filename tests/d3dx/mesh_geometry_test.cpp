// Mesh building and optimisation over plain arrays, and the readers of mesh data blocks.
#include "d3dx/mesh_geometry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "d3dx/xof_mesh_data.h"

namespace {

using namespace meshgeo;

// A unit quad as one four-cornered polygon, clockwise seen from -z.
MeshSource Quad() {
  MeshSource s;
  s.positions = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}};
  s.faces.counts = {4};
  s.faces.indices = {0, 1, 2, 3};
  return s;
}

TEST(MeshGeometry, PolygonsBecomeFans) {
  PolygonList polygons{{3, 5, 2}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}};
  std::vector<uint32_t> triangles, origin;
  ASSERT_TRUE(TriangulatePolygons(polygons, &triangles, &origin));
  EXPECT_EQ((std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 3, 5, 6, 3, 6, 7}), triangles);
  EXPECT_EQ((std::vector<uint32_t>{0, 1, 1, 1}), origin);  // the two-corner face is dropped
  PolygonList lying{{4}, {0, 1, 2}};
  EXPECT_FALSE(TriangulatePolygons(lying, &triangles, &origin));
}

TEST(MeshGeometry, MissingNormalsAreComputedFacingTheViewer) {
  BuiltMesh built;
  ASSERT_EQ(BuildResult::kOk, BuildMesh(Quad(), &built));
  ASSERT_EQ(4u, built.vertices.size());
  EXPECT_EQ(6u, built.indices.size());
  for (const MeshVertex& v : built.vertices) {
    EXPECT_FLOAT_EQ(0.0f, v.normal.x);
    EXPECT_FLOAT_EQ(-1.0f, v.normal.z);
    EXPECT_EQ(0xFFFFFFFFu, v.diffuse);
  }
}

TEST(MeshGeometry, PerCornerNormalsSplitVerticesOnlyWhereTheyDiffer) {
  MeshSource s = Quad();
  s.hasNormals = true;
  s.normals = {{0, 0, -1}, {0, 0, -1}, {1, 0, 0}};
  s.normalFaces.counts = {4};
  // Corners 0 and 1 use equal normals by different indices; corner 3 wants another one.
  s.normalFaces.indices = {0, 1, 0, 2};
  s.hasTexcoords = true;
  s.texcoords = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
  BuiltMesh built;
  ASSERT_EQ(BuildResult::kOk, BuildMesh(s, &built));
  EXPECT_EQ(4u, built.vertices.size());
  EXPECT_FLOAT_EQ(1.0f, built.vertices[3].normal.x);
  EXPECT_FLOAT_EQ(1.0f, built.vertices[3].texcoord.u);

  // The same position used by a second face with another normal gets its own copy.
  s.faces.counts = {4, 3};
  s.faces.indices = {0, 1, 2, 3, 0, 2, 3};
  s.normalFaces.counts = {4, 3};
  s.normalFaces.indices = {0, 0, 0, 0, 2, 0, 2};
  ASSERT_EQ(BuildResult::kOk, BuildMesh(s, &built));
  ASSERT_EQ(6u, built.vertices.size());  // positions 0 and 3 repeated with normal 2
  EXPECT_FLOAT_EQ(1.0f, built.vertices[4].normal.x);
  EXPECT_FLOAT_EQ(built.vertices[0].position.y, built.vertices[4].position.y);
  EXPECT_EQ((std::vector<uint32_t>{0, 1, 2, 0, 2, 3, 4, 2, 5}), built.indices);
}

TEST(MeshGeometry, BadIndicesAndCountsAreRefused) {
  MeshSource s = Quad();
  s.faces.indices[2] = 4;
  BuiltMesh built;
  EXPECT_EQ(BuildResult::kBadIndex, BuildMesh(s, &built));
  s = Quad();
  s.hasTexcoords = true;
  s.texcoords = {{0, 0}};
  EXPECT_EQ(BuildResult::kCountMismatch, BuildMesh(s, &built));
  s = Quad();
  s.hasNormals = true;
  s.normals = {{0, 0, 1}};
  s.normalFaces.counts = {3};
  s.normalFaces.indices = {0, 0, 0};
  EXPECT_EQ(BuildResult::kCountMismatch, BuildMesh(s, &built));
  s.normalFaces.counts = {4};
  s.normalFaces.indices = {0, 0, 0, 1};
  EXPECT_EQ(BuildResult::kBadIndex, BuildMesh(s, &built));
}

TEST(MeshGeometry, AdjacencyJoinsFacesThroughEqualPositions) {
  // Two triangles of a quad whose shared edge uses separate vertices 4 and 5.
  std::vector<Float3> positions = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0},
                                   {1, 0, 0}, {0, 0, 0}, {1, 1, 0}};
  std::vector<uint32_t> triangles = {0, 1, 2, 4, 5, 3};
  std::vector<uint32_t> reps = ComputePointReps(positions);
  EXPECT_EQ((std::vector<uint32_t>{0, 1, 2, 3, 0, 2}), reps);
  std::vector<uint32_t> adjacency = GenerateAdjacency(triangles, reps);
  EXPECT_EQ((std::vector<uint32_t>{kNoNeighbour, kNoNeighbour, 1, 0, kNoNeighbour, kNoNeighbour}),
            adjacency);
}

TEST(MeshGeometry, AttributeSortIsStableAndCompactionDropsUnusedVertices) {
  // Vertex 5 is used by nobody.
  std::vector<uint32_t> indices = {0, 1, 2, 2, 3, 4, 1, 3, 4, 0, 2, 4};
  std::vector<uint32_t> attributes = {2, 0, 2, 0};
  OptimizeOptions options;
  options.attributeSort = true;
  options.compact = true;
  OptimizeResult result;
  ASSERT_TRUE(OptimizeFaces(indices, attributes, 6, options, &result));
  EXPECT_EQ((std::vector<uint32_t>{1, 3, 0, 2}), result.faceRemap);
  EXPECT_EQ((std::vector<uint32_t>{0, 0, 2, 2}), result.attributes);
  EXPECT_EQ(5u, result.vertexRemap.size());
  // Same triangles as before, through the remaps.
  for (size_t f = 0; f < 4; ++f)
    for (int k = 0; k < 3; ++k)
      EXPECT_EQ(indices[result.faceRemap[f] * 3 + k],
                result.vertexRemap[result.indices[f * 3 + k]]);
  std::vector<AttributeRange> table = BuildAttributeTable(result.indices, result.attributes);
  ASSERT_EQ(2u, table.size());
  EXPECT_EQ(0u, table[0].attribId);
  EXPECT_EQ(2u, table[0].faceCount);
  EXPECT_EQ(2u, table[1].attribId);
  EXPECT_EQ(2u, table[1].faceStart);
  // An index beyond the vertices is refused.
  indices[4] = 6;
  EXPECT_FALSE(OptimizeFaces(indices, attributes, 6, options, &result));
}

TEST(MeshGeometry, VertexCacheOrderKeepsTrianglesAndCutsCacheMisses) {
  // A 40 x 40 grid listed column by column in long strips: poor reuse in a small cache.
  const uint32_t n = 40;
  std::vector<uint32_t> indices, attributes;
  for (uint32_t x = 0; x < n; ++x) {
    for (uint32_t y = 0; y < n; ++y) {
      uint32_t a = y * (n + 1) + x, b = a + 1, c = a + n + 1, d = c + 1;
      indices.insert(indices.end(), {a, c, b, b, c, d});
      attributes.insert(attributes.end(), {0, 0});
    }
  }
  OptimizeOptions options;
  options.vertexCache = true;
  options.compact = true;
  OptimizeResult result;
  ASSERT_TRUE(OptimizeFaces(indices, attributes, (n + 1) * (n + 1), options, &result));
  std::set<uint32_t> faces(result.faceRemap.begin(), result.faceRemap.end());
  EXPECT_EQ(attributes.size(), faces.size());
  const double before = AverageCacheMissRatio(indices, 16);
  const double after = AverageCacheMissRatio(result.indices, 16);
  EXPECT_LT(after, before * 0.8) << before << " -> " << after;
  // Vertices are renumbered in first-use order.
  EXPECT_EQ(0u, result.indices[0]);
}

TEST(MeshGeometry, AdjacencyFollowsAFaceRemap) {
  std::vector<uint32_t> adjacency = {
      1, kNoNeighbour, kNoNeighbour, 0, 2, kNoNeighbour, kNoNeighbour, 1, kNoNeighbour};
  std::vector<uint32_t> remapped = RemapAdjacency(adjacency, {2, 0, 1});
  EXPECT_EQ((std::vector<uint32_t>{kNoNeighbour, 2, kNoNeighbour, 2, kNoNeighbour, kNoNeighbour, 1,
                                   0, kNoNeighbour}),
            remapped);
}

std::vector<uint8_t> Bytes(std::initializer_list<uint32_t> words) {
  std::vector<uint8_t> bytes(words.size() * 4);
  size_t i = 0;
  for (uint32_t w : words) std::memcpy(&bytes[4 * i++], &w, 4);
  return bytes;
}

uint32_t FloatBits(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  return bits;
}

TEST(XofMeshData, MeshBlocksAreReadAndTruncationsRefused) {
  const uint32_t one = FloatBits(1.0f);
  std::vector<uint8_t> mesh = Bytes({3, 0, 0, 0, one, 0, 0, 0, one, 0, 1, 3, 0, 1, 2});
  MeshSource source;
  ASSERT_TRUE(xofdata::ParseMesh(mesh.data(), mesh.size(), &source));
  EXPECT_EQ(3u, source.positions.size());
  EXPECT_FLOAT_EQ(1.0f, source.positions[2].y);
  EXPECT_EQ((std::vector<uint32_t>{3}), source.faces.counts);
  for (size_t cut = 0; cut < mesh.size(); cut += 1)
    EXPECT_FALSE(xofdata::ParseMesh(mesh.data(), cut, &source)) << cut;
  // A count that the bytes cannot hold is refused before anything is allocated.
  std::vector<uint8_t> lying = Bytes({0x40000000, 0, 0, 0});
  EXPECT_FALSE(xofdata::ParseMesh(lying.data(), lying.size(), &source));
  std::vector<uint8_t> lyingFace = Bytes({0, 1, 0xFFFFFFFF, 0});
  EXPECT_FALSE(xofdata::ParseMesh(lyingFace.data(), lyingFace.size(), &source));
  EXPECT_FALSE(xofdata::ParseMesh(nullptr, 100, &source));
}

TEST(XofMeshData, VertexColoursMaterialsAndFaceMaterialLists) {
  MeshSource source;
  source.positions.resize(2);
  const uint32_t half = FloatBits(0.5f), one = FloatBits(1.0f);
  std::vector<uint8_t> colours = Bytes({1, 1, one, 0, half, one});
  ASSERT_TRUE(xofdata::ParseMeshVertexColors(colours.data(), colours.size(), &source));
  EXPECT_EQ(0xFFFFFFFFu, source.colors[0]);
  EXPECT_EQ(0xFFFF0080u, source.colors[1]);
  std::vector<uint8_t> outside = Bytes({1, 2, one, 0, half, one});
  EXPECT_FALSE(xofdata::ParseMeshVertexColors(outside.data(), outside.size(), &source));

  xofdata::MaterialList list;
  std::vector<uint8_t> listBytes = Bytes({2, 2, 1, 0});
  ASSERT_TRUE(xofdata::ParseMeshMaterialList(listBytes.data(), listBytes.size(), &list));
  std::vector<uint32_t> perFace;
  ASSERT_TRUE(xofdata::ExpandFaceMaterials(list, 4, &perFace));
  EXPECT_EQ((std::vector<uint32_t>{1, 0, 0, 0}), perFace);  // the last entry repeats
  list.faceIndexes = {0, 2};
  EXPECT_FALSE(xofdata::ExpandFaceMaterials(list, 2, &perFace));

  xofdata::MaterialValues material;
  std::vector<uint8_t> m = Bytes({half, half, half, half, FloatBits(8), 0, 0, 0, one, one, one});
  ASSERT_TRUE(xofdata::ParseMaterial(m.data(), m.size(), &material));
  EXPECT_FLOAT_EQ(0.5f, material.diffuse[3]);
  EXPECT_FLOAT_EQ(8.0f, material.power);
  EXPECT_FLOAT_EQ(1.0f, material.emissive[2]);
  EXPECT_FALSE(xofdata::ParseMaterial(m.data(), m.size() - 1, &material));
}

}  // namespace
