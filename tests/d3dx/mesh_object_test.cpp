// Mesh and buffer objects over an in-memory device, and mesh building from DirectX File data.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/xfile_guids.h"
#include "d3dx/d3dx8_mesh.h"
#include "tests/xfile/recording_device.h"
#include "xfile/xfile_templates.h"

namespace {

struct Vertex {
  float x, y, z, nx, ny, nz;
};

// Four triangles over six vertices (vertex 5 unused), attributes 1, 0, 1, 0.
ID3DXMesh* MakeMesh(RecordingDevice* device) {
  ID3DXMesh* mesh = nullptr;
  EXPECT_EQ(S_OK,
            D3DXCreateMeshFVF(4, 6, D3DXMESH_SYSTEMMEM, D3DFVF_XYZ | D3DFVF_NORMAL, device, &mesh));
  if (mesh == nullptr) return nullptr;
  BYTE* data = nullptr;
  mesh->LockVertexBuffer(0, &data);
  Vertex* v = reinterpret_cast<Vertex*>(data);
  for (int i = 0; i < 6; ++i) v[i] = {static_cast<float>(i), 0, 0, 0, 1, 0};
  mesh->UnlockVertexBuffer();
  mesh->LockIndexBuffer(0, &data);
  const uint16_t indices[] = {0, 1, 2, 2, 3, 4, 1, 3, 4, 0, 2, 4};
  std::memcpy(data, indices, sizeof(indices));
  mesh->UnlockIndexBuffer();
  DWORD* attributes = nullptr;
  mesh->LockAttributeBuffer(0, &attributes);
  const DWORD values[] = {1, 0, 1, 0};
  std::memcpy(attributes, values, sizeof(values));
  mesh->UnlockAttributeBuffer();
  return mesh;
}

std::vector<float> TrianglePositions(ID3DXMesh* mesh, int face) {
  BYTE* vertices = nullptr;
  BYTE* indices = nullptr;
  mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertices);
  mesh->LockIndexBuffer(D3DLOCK_READONLY, &indices);
  const UINT stride = D3DXGetFVFVertexSize(mesh->GetFVF());
  std::vector<float> xs;
  for (int k = 0; k < 3; ++k) {
    uint16_t index;
    std::memcpy(&index, indices + (face * 3 + k) * 2, 2);
    float x;
    std::memcpy(&x, vertices + index * stride, 4);
    xs.push_back(x);
  }
  mesh->UnlockIndexBuffer();
  mesh->UnlockVertexBuffer();
  return xs;
}

TEST(MeshObject, CreationRefusesWhatItCannotHold) {
  RecordingDevice device;
  ID3DXMesh* mesh = nullptr;
  EXPECT_EQ(D3DERR_INVALIDCALL, D3DXCreateMeshFVF(0, 3, 0, D3DFVF_XYZ, &device, &mesh));
  EXPECT_EQ(D3DERR_INVALIDCALL, D3DXCreateMeshFVF(1, 3, 0, D3DFVF_XYZRHW, &device, &mesh));
  EXPECT_EQ(D3DERR_INVALIDCALL, D3DXCreateMeshFVF(1, 70000, 0, D3DFVF_XYZ, &device, &mesh));
  EXPECT_EQ(D3DERR_INVALIDCALL, D3DXCreateMeshFVF(1, 3, 0, D3DFVF_XYZ, nullptr, &mesh));
  EXPECT_EQ(nullptr, mesh);
  device.failBufferCreation = true;
  EXPECT_EQ(E_OUTOFMEMORY, D3DXCreateMeshFVF(1, 3, 0, D3DFVF_XYZ, &device, &mesh));
  EXPECT_EQ(nullptr, mesh);
  EXPECT_EQ(28u, D3DXGetFVFVertexSize(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE));
}

TEST(MeshObject, SubsetsDrawTheirFacesWithAndWithoutATable) {
  RecordingDevice device;
  ID3DXMesh* mesh = MakeMesh(&device);
  ASSERT_NE(nullptr, mesh);
  DWORD entries = 5;
  EXPECT_EQ(S_OK, mesh->GetAttributeTable(nullptr, &entries));
  EXPECT_EQ(0u, entries);
  // Unsorted: one draw per run of faces with the attribute.
  EXPECT_EQ(S_OK, mesh->DrawSubset(1));
  EXPECT_EQ(2u, device.Draws().size());

  DWORD faceRemap[4];
  LPD3DXBUFFER vertexRemap = nullptr;
  DWORD adjacencyOut[12];
  ASSERT_EQ(S_OK, mesh->OptimizeInplace(
                      D3DXMESHOPT_COMPACT | D3DXMESHOPT_ATTRSORT | D3DXMESHOPT_VERTEXCACHE, nullptr,
                      adjacencyOut, faceRemap, &vertexRemap));
  EXPECT_EQ(5u, mesh->GetNumVertices());
  ASSERT_NE(nullptr, vertexRemap);
  EXPECT_EQ(5u * sizeof(DWORD), vertexRemap->GetBufferSize());
  vertexRemap->Release();
  D3DXATTRIBUTERANGE table[4];
  entries = 4;
  ASSERT_EQ(S_OK, mesh->GetAttributeTable(table, &entries));
  ASSERT_EQ(2u, entries);
  EXPECT_EQ(0u, table[0].AttribId);
  EXPECT_EQ(2u, table[0].FaceCount);
  EXPECT_EQ(1u, table[1].AttribId);
  EXPECT_EQ(2u, table[1].FaceStart);
  // Each new face still has the positions of the old face it came from.
  const float original[4][3] = {{0, 1, 2}, {2, 3, 4}, {1, 3, 4}, {0, 2, 4}};
  for (int f = 0; f < 4; ++f) {
    std::vector<float> xs = TrianglePositions(mesh, f);
    for (int k = 0; k < 3; ++k) EXPECT_FLOAT_EQ(original[faceRemap[f]][k], xs[k]);
  }
  device.events.clear();
  EXPECT_EQ(S_OK, mesh->DrawSubset(1));
  ASSERT_EQ(1u, device.Draws().size());
  EXPECT_EQ(2u, device.Draws()[0].primitives);
  device.events.clear();
  EXPECT_EQ(S_OK, mesh->DrawSubset(7));
  EXPECT_TRUE(device.Draws().empty());
  // Writing attributes drops the table: draws follow the new attributes.
  DWORD* attributes = nullptr;
  mesh->LockAttributeBuffer(0, &attributes);
  attributes[0] = 7;
  mesh->UnlockAttributeBuffer();
  entries = 4;
  mesh->GetAttributeTable(nullptr, &entries);
  EXPECT_EQ(0u, entries);
  EXPECT_EQ(S_OK, mesh->DrawSubset(7));
  EXPECT_EQ(1u, device.Draws().size());
  mesh->Release();
}

TEST(MeshObject, OptimizeRefusesWhatItDoesNotDo) {
  RecordingDevice device;
  ID3DXMesh* mesh = MakeMesh(&device);
  ASSERT_NE(nullptr, mesh);
  EXPECT_EQ(D3DERR_INVALIDCALL,
            mesh->OptimizeInplace(D3DXMESHOPT_STRIPREORDER, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(6u, mesh->GetNumVertices());
  mesh->Release();
}

TEST(MeshObject, CloneToTheSceneFormatFillsWhiteAndZero) {
  RecordingDevice device;
  ID3DXMesh* mesh = MakeMesh(&device);
  ASSERT_NE(nullptr, mesh);
  mesh->OptimizeInplace(D3DXMESHOPT_ATTRSORT, nullptr, nullptr, nullptr, nullptr);
  ID3DXMesh* clone = nullptr;
  const DWORD fvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;
  ASSERT_EQ(S_OK, mesh->CloneMeshFVF(D3DXMESH_MANAGED, fvf, &device, &clone));
  EXPECT_EQ(fvf, clone->GetFVF());
  EXPECT_EQ(4u, clone->GetNumFaces());
  DWORD entries = 0;
  clone->GetAttributeTable(nullptr, &entries);
  EXPECT_EQ(2u, entries);
  BYTE* data = nullptr;
  clone->LockVertexBuffer(D3DLOCK_READONLY, &data);
  for (int i = 0; i < 6; ++i) {
    const BYTE* v = data + i * 36;
    float x, ny, u;
    DWORD diffuse;
    std::memcpy(&x, v, 4);
    std::memcpy(&ny, v + 16, 4);
    std::memcpy(&diffuse, v + 24, 4);
    std::memcpy(&u, v + 28, 4);
    EXPECT_FLOAT_EQ(static_cast<float>(i), x);
    EXPECT_FLOAT_EQ(1.0f, ny);
    EXPECT_EQ(0xFFFFFFFFu, diffuse);
    EXPECT_FLOAT_EQ(0.0f, u);
  }
  clone->UnlockVertexBuffer();
  EXPECT_EQ(TrianglePositions(mesh, 3), TrianglePositions(clone, 3));
  clone->Release();
  mesh->Release();
}

TEST(Buffer, IsZeroedAndSized) {
  LPD3DXBUFFER buffer = nullptr;
  ASSERT_EQ(S_OK, D3DXCreateBuffer(12, &buffer));
  EXPECT_EQ(12u, buffer->GetBufferSize());
  const BYTE* bytes = static_cast<const BYTE*>(buffer->GetBufferPointer());
  for (int i = 0; i < 12; ++i) EXPECT_EQ(0, bytes[i]);
  IUnknown* unknown = nullptr;
  EXPECT_EQ(S_OK, buffer->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)));
  EXPECT_EQ(1u, unknown->Release());
  EXPECT_EQ(0u, buffer->Release());
  EXPECT_EQ(D3DERR_INVALIDCALL, D3DXCreateBuffer(4, nullptr));
}

// Loads text .x data from memory and hands the first Mesh object to the mesh builder.
class MeshFromXof : public testing::Test {
 protected:
  void TearDown() override {
    if (mesh != nullptr) mesh->Release();
    if (adjacency != nullptr) adjacency->Release();
    if (materials != nullptr) materials->Release();
  }
  HRESULT Build(const std::string& body) {
    text = "xof 0303txt 0032\n" + body;
    IDirectXFile* file = nullptr;
    if (FAILED(DirectXFileCreate(&file))) return E_FAIL;
    file->RegisterTemplates(const_cast<char*>(XFileTemplates),
                            static_cast<DWORD>(XFileTemplatesSize));
    DXFILELOADMEMORY memory = {const_cast<char*>(text.data()), static_cast<DWORD>(text.size())};
    IDirectXFileEnumObject* enumerator = nullptr;
    HRESULT hr = file->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, &enumerator);
    if (SUCCEEDED(hr)) {
      IDirectXFileData* object = nullptr;
      while (SUCCEEDED(hr = enumerator->GetNextDataObject(&object))) {
        const GUID* type = nullptr;
        object->GetType(&type);
        if (IsEqualGUID(*type, TID_D3DRMMesh)) {
          hr = D3DXLoadMeshFromXof(object, D3DXMESH_SYSTEMMEM, &device, &adjacency, &materials,
                                   &numMaterials, &mesh);
          object->Release();
          break;
        }
        object->Release();
      }
      enumerator->Release();
    }
    file->Release();
    return hr;
  }

  std::string text;
  RecordingDevice device;
  ID3DXMesh* mesh = nullptr;
  LPD3DXBUFFER adjacency = nullptr;
  LPD3DXBUFFER materials = nullptr;
  DWORD numMaterials = 0;
};

const char kQuadMesh[] =
    "Mesh quad {\n 4;\n 0.0;0.0;0.0;, 0.0;1.0;0.0;, 1.0;1.0;0.0;, 1.0;0.0;0.0;;\n"
    " 1;\n 4;0,1,2,3;;\n";

TEST_F(MeshFromXof, QuadWithTexcoordsAndAReferencedMaterial) {
  ASSERT_EQ(S_OK, Build("Material shiny {\n 0.2;0.4;0.6;0.5;;\n 12.0;\n 1.0;1.0;1.0;;\n"
                        " 0.0;0.0;0.0;;\n TextureFilename { \"wood.bmp\"; }\n}\n" +
                        std::string(kQuadMesh) +
                        " MeshTextureCoords {\n 4;\n 0.0;0.0;, 0.0;1.0;, 1.0;1.0;, 1.0;0.0;;\n }\n"
                        " MeshMaterialList {\n 1;\n 1;\n 0;;\n { shiny }\n }\n}\n"));
  ASSERT_NE(nullptr, mesh);
  EXPECT_EQ(2u, mesh->GetNumFaces());
  EXPECT_EQ(4u, mesh->GetNumVertices());
  EXPECT_EQ(static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1), mesh->GetFVF());
  ASSERT_NE(nullptr, adjacency);
  EXPECT_EQ(6u * sizeof(DWORD), adjacency->GetBufferSize());
  const DWORD* adj = static_cast<const DWORD*>(adjacency->GetBufferPointer());
  EXPECT_EQ(1u, adj[2]);  // the fan's two triangles share the diagonal
  EXPECT_EQ(0u, adj[3]);
  ASSERT_EQ(1u, numMaterials);
  ASSERT_NE(nullptr, materials);
  const D3DXMATERIAL* m = static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer());
  EXPECT_FLOAT_EQ(0.4f, m[0].MatD3D.Diffuse.g);
  EXPECT_FLOAT_EQ(0.5f, m[0].MatD3D.Diffuse.a);
  EXPECT_FLOAT_EQ(12.0f, m[0].MatD3D.Power);
  ASSERT_NE(nullptr, m[0].pTextureFilename);
  EXPECT_STREQ("wood.bmp", m[0].pTextureFilename);
  const char* begin = static_cast<const char*>(materials->GetBufferPointer());
  EXPECT_GE(m[0].pTextureFilename, begin);
  EXPECT_LT(m[0].pTextureFilename, begin + materials->GetBufferSize());
}

TEST_F(MeshFromXof, NoMaterialsGiveNoBuffer) {
  ASSERT_EQ(S_OK, Build(std::string(kQuadMesh) + "}\n"));
  EXPECT_EQ(0u, numMaterials);
  EXPECT_EQ(nullptr, materials);
}

TEST_F(MeshFromXof, BadDataIsRefusedWithoutAMesh) {
  EXPECT_EQ(D3DXERR_INVALIDDATA,
            Build("Mesh bad {\n 3;\n 0.0;0.0;0.0;, 0.0;1.0;0.0;, 1.0;1.0;0.0;;\n"
                  " 1;\n 3;0,1,7;;\n}\n"));
  EXPECT_EQ(nullptr, mesh);
  EXPECT_EQ(nullptr, adjacency);
  // A material list naming a material it does not have.
  EXPECT_EQ(D3DXERR_INVALIDDATA,
            Build(std::string(kQuadMesh) + " MeshMaterialList {\n 1;\n 1;\n 3;;\n"
                                           " Material { 1.0;1.0;1.0;1.0;; 1.0; 0.0;0.0;0.0;; "
                                           "0.0;0.0;0.0;; }\n }\n}\n"));
  EXPECT_EQ(nullptr, mesh);
}

}  // namespace
