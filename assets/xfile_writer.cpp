#include "assets/xfile_writer.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace assets {
namespace {

class TextOut {
 public:
  void Line(const char* format, ...) __attribute__((format(gnu_printf, 2, 3))) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    if (n > 0) text_.append(buffer, n < static_cast<int>(sizeof(buffer)) ? n : sizeof(buffer) - 1);
    text_ += '\n';
  }
  std::string& text() { return text_; }

 private:
  std::string text_;
};

// Array elements are separated by ',' and the array ends with ';'.
const char* Separator(size_t i, size_t count) { return i + 1 < count ? "," : ";"; }

void WriteFaces(TextOut& out, const MeshData& mesh) {
  size_t faces = mesh.FaceCount();
  out.Line("  %u;", static_cast<unsigned>(faces));
  for (size_t f = 0; f < faces; ++f) {
    out.Line("  3;%u,%u,%u;%s", mesh.indices[f * 3], mesh.indices[f * 3 + 1],
             mesh.indices[f * 3 + 2], Separator(f, faces));
  }
}

void WriteMaterial(TextOut& out, const MeshMaterial& m, size_t index) {
  out.Line("   Material Material%u {", static_cast<unsigned>(index));
  out.Line("    %.6f;%.6f;%.6f;%.6f;;", m.diffuse[0], m.diffuse[1], m.diffuse[2], m.diffuse[3]);
  out.Line("    %.6f;", m.power);
  out.Line("    %.6f;%.6f;%.6f;;", m.specular[0], m.specular[1], m.specular[2]);
  out.Line("    %.6f;%.6f;%.6f;;", m.emissive[0], m.emissive[1], m.emissive[2]);
  out.Line("   }");
}

// Binary .x tokens: a 16-bit code, then for names a length and the characters, for lists a
// count and 32-bit elements.
class BinaryOut {
 public:
  void Token(uint16_t code) { Put(&code, sizeof code); }
  void Name(const std::string& name) {
    Token(kName);
    Count(name.size());
    Put(name.data(), name.size());
  }
  void Open(const char* templateName, const std::string& objectName) {
    Name(templateName);
    if (!objectName.empty()) Name(objectName);
    Token(kOpenBrace);
  }
  void Close() { Token(kCloseBrace); }
  void Integers(const std::vector<uint32_t>& values) {
    Token(kIntegerList);
    Count(values.size());
    Put(values.data(), values.size() * sizeof(uint32_t));
  }
  void Floats(const std::vector<float>& values) {
    Token(kFloatList);
    Count(values.size());
    Put(values.data(), values.size() * sizeof(float));
  }
  std::string& bytes() { return bytes_; }

 private:
  static constexpr uint16_t kName = 1, kIntegerList = 6, kFloatList = 7, kOpenBrace = 10,
                            kCloseBrace = 11;
  void Count(size_t n) {
    const uint32_t count = static_cast<uint32_t>(n);
    Put(&count, sizeof count);
  }
  void Put(const void* data, size_t size) {
    bytes_.append(static_cast<const char*>(data), size);
  }
  std::string bytes_;
};

// The face list of a mesh or of its normals: the count, then 3 and three indices per face.
std::vector<uint32_t> FaceList(const MeshData& mesh) {
  const size_t faces = mesh.FaceCount();
  std::vector<uint32_t> list;
  list.reserve(1 + faces * 4);
  list.push_back(static_cast<uint32_t>(faces));
  for (size_t f = 0; f < faces; ++f) {
    list.push_back(3);
    list.insert(list.end(), mesh.indices.begin() + f * 3, mesh.indices.begin() + f * 3 + 3);
  }
  return list;
}

}  // namespace

std::string WriteXFileBinary(const MeshData& mesh) {
  BinaryOut out;
  out.bytes() = "xof 0303bin 0032";
  const size_t count = mesh.vertices.size();
  const uint32_t count32 = static_cast<uint32_t>(count);
  out.Open("Frame", mesh.name);
  out.Open("FrameTransformMatrix", "");
  out.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
  out.Close();

  out.Open("Mesh", mesh.name + "Mesh");
  std::vector<float> positions, normals, coords;
  positions.reserve(count * 3);
  normals.reserve(count * 3);
  coords.reserve(count * 2);
  for (const MeshVertex& v : mesh.vertices) {
    positions.insert(positions.end(), {v.position.x, v.position.y, v.position.z});
    normals.insert(normals.end(), {v.normal.x, v.normal.y, v.normal.z});
    coords.insert(coords.end(), {v.u, v.v});
  }
  const std::vector<uint32_t> faces = FaceList(mesh);
  out.Integers({count32});
  out.Floats(positions);
  out.Integers(faces);

  out.Open("MeshNormals", "");
  out.Integers({count32});
  out.Floats(normals);
  out.Integers(faces);  // the normals are indexed like the positions
  out.Close();

  out.Open("MeshTextureCoords", "");
  out.Integers({count32});
  out.Floats(coords);
  out.Close();

  out.Open("MeshMaterialList", "");
  std::vector<uint32_t> materialList = {static_cast<uint32_t>(mesh.materials.size()),
                                        static_cast<uint32_t>(mesh.FaceCount())};
  materialList.insert(materialList.end(), mesh.faceMaterials.begin(), mesh.faceMaterials.end());
  out.Integers(materialList);
  for (size_t i = 0; i < mesh.materials.size(); ++i) {
    const MeshMaterial& m = mesh.materials[i];
    out.Open("Material", "Material" + std::to_string(i));
    out.Floats({m.diffuse[0], m.diffuse[1], m.diffuse[2], m.diffuse[3], m.power, m.specular[0],
                m.specular[1], m.specular[2], m.emissive[0], m.emissive[1], m.emissive[2]});
    out.Close();
  }
  out.Close();  // MeshMaterialList
  out.Close();  // Mesh
  out.Close();  // Frame
  return std::move(out.bytes());
}

std::string WriteXFileText(const MeshData& mesh) {
  TextOut out;
  const size_t count = mesh.vertices.size();
  out.Line("xof 0303txt 0032");
  out.Line("%s", "");
  out.Line("Frame %s {", mesh.name.c_str());
  out.Line(" FrameTransformMatrix {");
  out.Line("  1.000000,0.000000,0.000000,0.000000,");
  out.Line("  0.000000,1.000000,0.000000,0.000000,");
  out.Line("  0.000000,0.000000,1.000000,0.000000,");
  out.Line("  0.000000,0.000000,0.000000,1.000000;;");
  out.Line(" }");
  out.Line(" Mesh %sMesh {", mesh.name.c_str());
  out.Line("  %u;", static_cast<unsigned>(count));
  for (size_t i = 0; i < count; ++i) {
    const Vec3& p = mesh.vertices[i].position;
    out.Line("  %.6f;%.6f;%.6f;%s", p.x, p.y, p.z, Separator(i, count));
  }
  WriteFaces(out, mesh);

  out.Line("  MeshNormals {");
  out.Line("  %u;", static_cast<unsigned>(count));
  for (size_t i = 0; i < count; ++i) {
    const Vec3& n = mesh.vertices[i].normal;
    out.Line("  %.6f;%.6f;%.6f;%s", n.x, n.y, n.z, Separator(i, count));
  }
  WriteFaces(out, mesh);  // the normals are indexed like the positions
  out.Line("  }");

  out.Line("  MeshTextureCoords {");
  out.Line("  %u;", static_cast<unsigned>(count));
  for (size_t i = 0; i < count; ++i) {
    out.Line("  %.6f;%.6f;%s", mesh.vertices[i].u, mesh.vertices[i].v, Separator(i, count));
  }
  out.Line("  }");

  const size_t faces = mesh.FaceCount();
  out.Line("  MeshMaterialList {");
  out.Line("  %u;", static_cast<unsigned>(mesh.materials.size()));
  out.Line("  %u;", static_cast<unsigned>(faces));
  for (size_t f = 0; f < faces; ++f) out.Line("  %u%s", mesh.faceMaterials[f], Separator(f, faces));
  for (size_t i = 0; i < mesh.materials.size(); ++i) WriteMaterial(out, mesh.materials[i], i);
  out.Line("  }");
  out.Line(" }");
  out.Line("}");
  return std::move(out.text());
}

}  // namespace assets
