// Writes a mesh as a text .x file: one frame holding one mesh with normals, texture
// coordinates and a material list.
#pragma once

#include <string>

#include "assets/mesh_data.h"

namespace assets {

// The file's text, starting with the "xof 0303txt 0032" header. The mesh sits inside a frame
// with an identity transform: a mesh at the top of a file is not drawn by the scene.
std::string WriteXFileText(const MeshData& mesh);

}  // namespace assets
