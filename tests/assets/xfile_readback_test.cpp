// The .x text we write, read back through DirectX File with the program's templates and the
// image library's mesh readers: what the saver's loader will see.
#include <gtest/gtest.h>

#include <windows.h>
#include <dxfile.h>

#include <string>
#include <vector>

#include "assets/scene_meshes.h"
#include "assets/xfile_writer.h"
#include "base/xfile_guids.h"
#include "d3dx/xof_mesh_data.h"
#include "xfile/xfile_templates.h"

namespace assets {
namespace {

struct ReadBack {
  int frames = 0;
  int meshes = 0;
  float transform[16] = {};
  meshgeo::MeshSource source;
  xofdata::MaterialList materialList;
  std::vector<xofdata::MaterialValues> materials;
  std::string frameName;
};

std::vector<uint8_t> DataOf(IDirectXFileData* data) {
  DWORD size = 0;
  void* bytes = nullptr;
  if (FAILED(data->GetData(nullptr, &size, &bytes)) || bytes == nullptr) return {};
  const uint8_t* p = static_cast<const uint8_t*>(bytes);
  return std::vector<uint8_t>(p, p + size);
}

// Calls `visit` for every data child of `parent`.
template <typename Visit>
void ForEachChild(IDirectXFileData* parent, Visit visit) {
  for (;;) {
    IDirectXFileObject* child = nullptr;
    if (FAILED(parent->GetNextObject(&child)) || child == nullptr) break;
    IDirectXFileData* data = nullptr;
    if (SUCCEEDED(child->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void**>(&data)))) {
      visit(data);
      data->Release();
    }
    child->Release();
  }
}

void ReadMesh(IDirectXFileData* mesh, ReadBack* out) {
  std::vector<uint8_t> bytes = DataOf(mesh);
  ASSERT_TRUE(xofdata::ParseMesh(bytes.data(), bytes.size(), &out->source));
  ForEachChild(mesh, [&](IDirectXFileData* child) {
    const GUID* type = nullptr;
    ASSERT_HRESULT_SUCCEEDED(child->GetType(&type));
    std::vector<uint8_t> data = DataOf(child);
    if (IsEqualGUID(*type, TID_D3DRMMeshNormals)) {
      EXPECT_TRUE(xofdata::ParseMeshNormals(data.data(), data.size(), &out->source));
    } else if (IsEqualGUID(*type, TID_D3DRMMeshTextureCoords)) {
      EXPECT_TRUE(xofdata::ParseMeshTextureCoords(data.data(), data.size(), &out->source));
    } else if (IsEqualGUID(*type, TID_D3DRMMeshMaterialList)) {
      EXPECT_TRUE(xofdata::ParseMeshMaterialList(data.data(), data.size(), &out->materialList));
      ForEachChild(child, [&](IDirectXFileData* material) {
        std::vector<uint8_t> m = DataOf(material);
        xofdata::MaterialValues values{};
        EXPECT_TRUE(xofdata::ParseMaterial(m.data(), m.size(), &values));
        out->materials.push_back(values);
      });
    } else {
      ADD_FAILURE() << "unexpected child of the mesh";
    }
  });
}

// Parses the text; the file must hold exactly one frame with a transform and one mesh.
void Read(const std::string& text, ReadBack* out) {
  IDirectXFile* file = nullptr;
  ASSERT_HRESULT_SUCCEEDED(DirectXFileCreate(&file));
  ASSERT_HRESULT_SUCCEEDED(file->RegisterTemplates(const_cast<char*>(XFileTemplates),
                                                   static_cast<DWORD>(XFileTemplatesSize)));
  DXFILELOADMEMORY memory;
  memory.lpMemory = const_cast<char*>(text.data());
  memory.dSize = static_cast<DWORD>(text.size());
  IDirectXFileEnumObject* enumerator = nullptr;
  HRESULT hr = file->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, &enumerator);
  ASSERT_HRESULT_SUCCEEDED(hr);
  for (;;) {
    IDirectXFileData* top = nullptr;
    if (FAILED(enumerator->GetNextDataObject(&top)) || top == nullptr) break;
    const GUID* type = nullptr;
    EXPECT_HRESULT_SUCCEEDED(top->GetType(&type));
    if (type && IsEqualGUID(*type, TID_D3DRMFrame)) {
      ++out->frames;
      char name[512] = {};
      DWORD length = sizeof(name);
      top->GetName(name, &length);
      out->frameName = name;
      ForEachChild(top, [&](IDirectXFileData* child) {
        const GUID* childType = nullptr;
        ASSERT_HRESULT_SUCCEEDED(child->GetType(&childType));
        if (IsEqualGUID(*childType, TID_D3DRMFrameTransformMatrix)) {
          std::vector<uint8_t> m = DataOf(child);
          ASSERT_EQ(m.size(), sizeof(out->transform));
          memcpy(out->transform, m.data(), m.size());
        } else if (IsEqualGUID(*childType, TID_D3DRMMesh)) {
          ++out->meshes;
          ReadMesh(child, out);
        }
      });
    }
    top->Release();
  }
  enumerator->Release();
  file->Release();
}

void ExpectSameMeshIn(const MeshData& mesh, const std::string& file) {
  ReadBack back;
  ASSERT_NO_FATAL_FAILURE(Read(file, &back));
  // A mesh at the top of a file would not be drawn: it must sit in a frame.
  EXPECT_EQ(back.frames, 1);
  EXPECT_EQ(back.meshes, 1);
  EXPECT_EQ(back.frameName, mesh.name);
  for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(back.transform[i], i % 5 == 0 ? 1.0f : 0.0f);

  const meshgeo::MeshSource& s = back.source;
  ASSERT_EQ(s.positions.size(), mesh.vertices.size());
  for (size_t i = 0; i < mesh.vertices.size(); ++i) {
    const MeshVertex& v = mesh.vertices[i];
    ASSERT_NEAR(s.positions[i].x, v.position.x, 1e-6f);
    ASSERT_NEAR(s.positions[i].y, v.position.y, 1e-6f);
    ASSERT_NEAR(s.positions[i].z, v.position.z, 1e-6f);
  }
  ASSERT_EQ(s.faces.counts.size(), mesh.FaceCount());
  ASSERT_EQ(s.faces.indices, mesh.indices);  // same triangles, same winding
  ASSERT_TRUE(s.hasNormals);
  ASSERT_EQ(s.normals.size(), mesh.vertices.size());
  EXPECT_EQ(s.normalFaces.indices, mesh.indices);
  for (size_t i = 0; i < mesh.vertices.size(); ++i) {
    ASSERT_NEAR(s.normals[i].x, mesh.vertices[i].normal.x, 1e-6f);
    ASSERT_NEAR(s.normals[i].y, mesh.vertices[i].normal.y, 1e-6f);
    ASSERT_NEAR(s.normals[i].z, mesh.vertices[i].normal.z, 1e-6f);
  }
  ASSERT_TRUE(s.hasTexcoords);
  ASSERT_EQ(s.texcoords.size(), mesh.vertices.size());
  for (size_t i = 0; i < mesh.vertices.size(); ++i) {
    ASSERT_NEAR(s.texcoords[i].u, mesh.vertices[i].u, 1e-6f);
    ASSERT_NEAR(s.texcoords[i].v, mesh.vertices[i].v, 1e-6f);
  }
  EXPECT_EQ(back.materialList.numMaterials, mesh.materials.size());
  EXPECT_EQ(back.materialList.faceIndexes, mesh.faceMaterials);
  ASSERT_EQ(back.materials.size(), mesh.materials.size());
  for (size_t i = 0; i < mesh.materials.size(); ++i) {
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(back.materials[i].diffuse[k], mesh.materials[i].diffuse[k], 1e-6f);
    EXPECT_NEAR(back.materials[i].power, mesh.materials[i].power, 1e-6f);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(back.materials[i].specular[k], mesh.materials[i].specular[k], 1e-6f);
  }
}

// Both forms of the writer must give DirectX File the same mesh, for every mesh installed.
TEST(XFileReadBackTest, EveryInstalledMeshReadsBackAlikeFromTextAndBinary) {
  for (const MeshData& mesh :
       {BuildPictureMesh(1.0f),
        WithAlpha(BuildFrameMesh(kReflectionAlpha), kReflectionAlpha, "MirrorFrame"),
        BuildBackdropSphere(kBackdropSegments, kBackdropRings), BuildMugMesh(1.0f)}) {
    SCOPED_TRACE(mesh.name);
    for (bool binary : {false, true}) {
      SCOPED_TRACE(binary ? "binary" : "text");
      ExpectSameMeshIn(mesh, binary ? WriteXFileBinary(mesh) : WriteXFileText(mesh));
    }
  }
}

TEST(XFileReadBackTest, TextStartsWithTheTextFormatHeader) {
  std::string text = WriteXFileText(BuildPictureMesh(1.0f));
  EXPECT_EQ(text.compare(0, 16, "xof 0303txt 0032"), 0);
  std::string binary = WriteXFileBinary(BuildPictureMesh(1.0f));
  EXPECT_EQ(binary.compare(0, 16, "xof 0303bin 0032"), 0);
}

}  // namespace
}  // namespace assets
