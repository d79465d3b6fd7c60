#include "assets/mesh_data.h"

#include <cmath>

namespace assets {

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Length(Vec3 a) { return std::sqrt(Dot(a, a)); }
Vec3 Normalize(Vec3 a) {
  float len = Length(a);
  return len > 0.0f ? a * (1.0f / len) : Vec3{0.0f, 0.0f, 0.0f};
}

uint32_t MeshData::AddVertex(Vec3 position, Vec3 normal, float u, float v) {
  vertices.push_back({position, Normalize(normal), u, v});
  return static_cast<uint32_t>(vertices.size() - 1);
}

void MeshData::AddTriangle(uint32_t a, uint32_t b, uint32_t c, Vec3 outward, uint32_t material) {
  Vec3 pa = vertices[a].position, pb = vertices[b].position, pc = vertices[c].position;
  Vec3 n = Cross(pb - pa, pc - pa);
  if (Length(n) < 1e-9f) return;
  // In Direct3D's left-handed space a triangle that is clockwise from the viewer has
  // (b - a) x (c - a) pointing towards the viewer.
  if (Dot(n, outward) < 0.0f) std::swap(b, c);
  indices.insert(indices.end(), {a, b, c});
  faceMaterials.push_back(material);
}

void MeshData::AddQuad(uint32_t a, uint32_t b, uint32_t c, uint32_t d, Vec3 outward,
                       uint32_t material) {
  AddTriangle(a, b, c, outward, material);
  AddTriangle(a, c, d, outward, material);
}

void MeshData::Append(const MeshData& other, uint32_t materialOffset) {
  uint32_t base = static_cast<uint32_t>(vertices.size());
  vertices.insert(vertices.end(), other.vertices.begin(), other.vertices.end());
  for (uint32_t i : other.indices) indices.push_back(base + i);
  for (uint32_t m : other.faceMaterials) faceMaterials.push_back(m + materialOffset);
}

MeshMaterial MakeMaterial(float r, float g, float b, float alpha, float power, float specular) {
  MeshMaterial m{};
  m.diffuse[0] = r;
  m.diffuse[1] = g;
  m.diffuse[2] = b;
  m.diffuse[3] = alpha;
  m.power = power;
  for (float& s : m.specular) s = specular;
  return m;
}

MeshData WithAlpha(MeshData mesh, float alpha, const std::string& name) {
  for (MeshMaterial& m : mesh.materials) m.diffuse[3] = alpha;
  mesh.name = name;
  return mesh;
}

}  // namespace assets
