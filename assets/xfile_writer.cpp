#include "assets/xfile_writer.h"

#include <cstdarg>
#include <cstdio>

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

}  // namespace

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
