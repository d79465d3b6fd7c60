// Writes a mesh as a text or binary .x file: one frame holding one mesh with normals, texture
// coordinates and a material list.
#pragma once

#include <string>

#include "assets/mesh_data.h"

namespace assets {

// The file's text, starting with the "xof 0303txt 0032" header. The mesh sits inside a frame
// with an identity transform: a mesh at the top of a file is not drawn by the scene.
std::string WriteXFileText(const MeshData& mesh);

// The same file in binary form ("xof 0303bin 0032", 32-bit floats): DirectX File reads it
// many times faster than the text, which matters for the large meshes loaded at start-up.
std::string WriteXFileBinary(const MeshData& mesh);

}  // namespace assets
