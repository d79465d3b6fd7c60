// Plain mesh data shared by the mesh builders and the .x writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assets {

struct Vec3 {
  float x, y, z;
};

Vec3 operator+(Vec3 a, Vec3 b);
Vec3 operator-(Vec3 a, Vec3 b);
Vec3 operator*(Vec3 a, float s);
float Dot(Vec3 a, Vec3 b);
Vec3 Cross(Vec3 a, Vec3 b);
float Length(Vec3 a);
Vec3 Normalize(Vec3 a);

struct MeshVertex {
  Vec3 position;
  Vec3 normal;
  float u, v;
};

struct MeshMaterial {
  float diffuse[4];   // r, g, b, a; an alpha below 1 puts the subset into the blended pass
  float power;
  float specular[3];
  float emissive[3];
};

struct MeshData {
  std::string name;
  std::vector<MeshVertex> vertices;
  std::vector<uint32_t> indices;        // three per triangle
  std::vector<uint32_t> faceMaterials;  // one per triangle
  std::vector<MeshMaterial> materials;

  size_t FaceCount() const { return indices.size() / 3; }
  uint32_t AddVertex(Vec3 position, Vec3 normal, float u, float v);
  // Adds the triangle so that it is clockwise seen from the side `outward` points to (the
  // front side under Direct3D's default culling); degenerate triangles are dropped.
  void AddTriangle(uint32_t a, uint32_t b, uint32_t c, Vec3 outward, uint32_t material);
  // Two triangles a-b-c and a-c-d, oriented as AddTriangle does.
  void AddQuad(uint32_t a, uint32_t b, uint32_t c, uint32_t d, Vec3 outward, uint32_t material);
  // Appends another mesh's geometry; its material indices are shifted by `materialOffset`.
  void Append(const MeshData& other, uint32_t materialOffset);
};

MeshMaterial MakeMaterial(float r, float g, float b, float alpha, float power = 0.0f,
                          float specular = 0.0f);

// The same mesh with every material's diffuse alpha set to `alpha` (for the faint reflections).
MeshData WithAlpha(MeshData mesh, float alpha, const std::string& name);

}  // namespace assets
