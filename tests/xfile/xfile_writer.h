// Small text .x files for loader tests.
#pragma once

#include <string>
#include <vector>

namespace xtest {

// A Material block with the given diffuse colour and an optional texture file name.
inline std::string Material(float r, float g, float b, float a, const std::string& texture = "") {
  std::string text = "Material {\n " + std::to_string(r) + ";" + std::to_string(g) + ";" +
                     std::to_string(b) + ";" + std::to_string(a) +
                     ";;\n 10.0;\n 0.5;0.5;0.5;;\n 0.0;0.0;0.0;;\n";
  if (!texture.empty()) text += " TextureFilename { \"" + texture + "\"; }\n";
  return text + "}\n";
}

// A strip of `triangles` triangles; materials[i] gives triangle i's material index, and
// the material blocks follow.
inline std::string Mesh(const std::string& name, int triangles,
                        const std::vector<int>& faceMaterials = {},
                        const std::vector<std::string>& materials = {}) {
  const int vertices = triangles + 2;
  std::string text = "Mesh " + name + " {\n " + std::to_string(vertices) + ";\n";
  for (int v = 0; v < vertices; ++v) {
    text += " " + std::to_string(v / 2) + ".0;" + std::to_string(v % 2) + ".0;0.0;";
    text += v + 1 < vertices ? ",\n" : ";\n";
  }
  text += " " + std::to_string(triangles) + ";\n";
  for (int t = 0; t < triangles; ++t) {
    text +=
        " 3;" + std::to_string(t) + "," + std::to_string(t + 1) + "," + std::to_string(t + 2) + ";";
    text += t + 1 < triangles ? ",\n" : ";\n";
  }
  if (!materials.empty()) {
    text += " MeshMaterialList {\n  " + std::to_string(materials.size()) + ";\n  " +
            std::to_string(faceMaterials.size()) + ";\n";
    for (size_t f = 0; f < faceMaterials.size(); ++f) {
      text += "  " + std::to_string(faceMaterials[f]);
      text += f + 1 < faceMaterials.size() ? ",\n" : ";;\n";
    }
    for (const std::string& m : materials) text += m;
    text += " }\n";
  }
  return text + "}\n";
}

inline std::string Translation(float x, float y, float z) {
  return "FrameTransformMatrix {\n 1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0," +
         std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(z) + ",1.0;;\n}\n";
}

inline std::string Frame(const std::string& name, const std::string& body) {
  return "Frame " + name + " {\n" + body + "}\n";
}

inline std::string File(const std::string& body) { return "xof 0303txt 0032\n" + body; }

}  // namespace xtest
