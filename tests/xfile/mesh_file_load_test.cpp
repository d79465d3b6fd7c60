// Loading .x files into frame trees, against an in-memory device.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"
#include "tests/xfile/recording_device.h"
#include "tests/xfile/xfile_writer.h"
#include "xfile/mesh_file.h"

namespace {

using testing_support::TempFolder;

struct TreeCounts {
  int frames = 0;
  int meshes = 0;
};

void Count(const FrameNode* node, TreeCounts* counts) {
  for (; node != nullptr; node = node->nextSibling.get()) {
    ++counts->frames;
    if (node->mesh != nullptr) ++counts->meshes;
    Count(node->firstChild.get(), counts);
  }
}

TreeCounts CountTree(const FrameNode& root) {
  TreeCounts counts;
  if (root.mesh != nullptr) ++counts.meshes;
  Count(root.firstChild.get(), &counts);
  return counts;
}

class MeshFileLoadTest : public testing::Test {
 protected:
  void TearDown() override { ReleaseMeshFile(&root); }
  HRESULT Load(const std::string& text,
               MeshTextureLoader loadTexture = D3DXCreateTextureFromFileA) {
    folder.Write("mesh.x", text);
    return LoadMeshFile(&root, &device, folder.File("mesh.x").c_str(), loadTexture);
  }

  TempFolder folder;
  RecordingDevice device;
  FrameNode root{"root"};
};

TEST_F(MeshFileLoadTest, SiblingsEndUpInReverseFileOrder) {
  using namespace xtest;
  ASSERT_EQ(S_OK, Load(File(Frame("A", Mesh("ma", 1)) + Frame("B", Mesh("mb", 2)))));
  ASSERT_NE(nullptr, root.firstChild);
  EXPECT_STREQ("B", root.firstChild->name);
  ASSERT_NE(nullptr, root.firstChild->nextSibling);
  EXPECT_STREQ("A", root.firstChild->nextSibling->name);
  EXPECT_STREQ("ma", root.firstChild->nextSibling->mesh->name);
  ASSERT_NE(nullptr, root.firstChild->mesh->mesh);
  EXPECT_EQ(2u, root.firstChild->mesh->mesh->GetNumFaces());
}

TEST_F(MeshFileLoadTest, FrameTransformAndNestingAreKept) {
  using namespace xtest;
  ASSERT_EQ(S_OK, Load(File(Frame("Outer", Translation(1, 2, 3) + Frame("Inner", Mesh("m", 1))))));
  FrameNode* outer = root.firstChild.get();
  ASSERT_NE(nullptr, outer);
  EXPECT_FLOAT_EQ(1.0f, outer->transform._41);
  EXPECT_FLOAT_EQ(3.0f, outer->transform._43);
  ASSERT_NE(nullptr, outer->firstChild);
  EXPECT_STREQ("Inner", outer->firstChild->name);
  EXPECT_TRUE(D3DXMatrixIsIdentity(&outer->firstChild->transform));
  EXPECT_NE(nullptr, outer->firstChild->mesh);
}

TEST_F(MeshFileLoadTest, TopLevelMeshIsAttachedToTheRoot) {
  using namespace xtest;
  ASSERT_EQ(S_OK, Load(File(Mesh("loose", 1) + Frame("F", Mesh("framed", 1)))));
  ASSERT_NE(nullptr, root.mesh);
  EXPECT_STREQ("loose", root.mesh->name);
  EXPECT_EQ(1, CountTree(root).frames);
}

TEST_F(MeshFileLoadTest, SecondMeshInOneFrameFailsTheLoadKeepingTheFirst) {
  using namespace xtest;
  EXPECT_EQ(E_FAIL, Load(File(Frame("F", Mesh("first", 1) + Mesh("second", 2)))));
  ASSERT_NE(nullptr, root.firstChild);
  ASSERT_NE(nullptr, root.firstChild->mesh);
  EXPECT_STREQ("first", root.firstChild->mesh->name);
}

TEST_F(MeshFileLoadTest, MaterialsTakeTheirDiffuseAsAmbient) {
  using namespace xtest;
  ASSERT_EQ(S_OK, Load(File(Frame("F", Mesh("m", 2, {0, 1},
                                            {Material(1, 0, 0, 1), Material(0, 0, 1, 0.5f)})))));
  MeshObject* mesh = root.firstChild->mesh.get();
  ASSERT_EQ(2u, mesh->numMaterials);
  EXPECT_FLOAT_EQ(1.0f, mesh->materials[0].Ambient.r);
  EXPECT_FLOAT_EQ(0.5f, mesh->materials[1].Diffuse.a);
  EXPECT_FLOAT_EQ(0.5f, mesh->materials[1].Ambient.a);
  EXPECT_FLOAT_EQ(10.0f, mesh->materials[1].Power);
  EXPECT_EQ(1, mesh->useMaterials);
}

TEST_F(MeshFileLoadTest, MissingMaterialTextureStaysSilent) {
  using namespace xtest;
  static std::vector<std::string> asked;
  asked.clear();
  const MeshTextureLoader refuse = [](IDirect3DDevice8*, const char* path,
                                      IDirect3DTexture8** texture) {
    asked.push_back(path);
    *texture = nullptr;
    return E_FAIL;
  };
  testing_support::MessageBoxRecorder boxes;
  ASSERT_EQ(S_OK, Load(File(Frame("F", Mesh("m", 1, {0}, {Material(1, 1, 1, 1, "nowhere.png")}))),
                       refuse));
  MeshObject* mesh = root.firstChild->mesh.get();
  ASSERT_EQ(1u, mesh->numMaterials);
  EXPECT_EQ(nullptr, mesh->textures[0]);
  ASSERT_EQ(1u, asked.size());
  EXPECT_NE(std::string::npos, asked[0].find("nowhere.png"));
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(MeshFileLoadTest, AMeshThatCannotBeBuiltStaysAttachedAndDrawsNothing) {
  using namespace xtest;
  device.failBufferCreation = true;
  ASSERT_EQ(S_OK, Load(File(Frame("F", Mesh("m", 1, {0}, {Material(1, 1, 1, 1)})))));
  ASSERT_NE(nullptr, root.firstChild->mesh);
  EXPECT_EQ(nullptr, root.firstChild->mesh->mesh);
  EXPECT_EQ(0u, root.firstChild->mesh->numMaterials);
  EXPECT_EQ(S_OK, RenderMeshFile(&root, &device, nullptr));
  EXPECT_TRUE(device.Draws().empty());
}

TEST_F(MeshFileLoadTest, UnparsableAndMissingFilesFail) {
  EXPECT_TRUE(FAILED(Load("xof 0303txt 0032\nFrame F { Mesh m { 3; 0.0;0.0;")));
  EXPECT_EQ(nullptr, root.firstChild);
  EXPECT_TRUE(FAILED(LoadMeshFile(&root, &device, folder.File("absent.x").c_str())));
  EXPECT_TRUE(FAILED(Load("")));
}

TEST_F(MeshFileLoadTest, ReleaseLeavesTheRootWithItsTransform) {
  using namespace xtest;
  ASSERT_EQ(S_OK, Load(File(Mesh("top", 1) + Frame("A", Mesh("a", 1)) + Frame("B", ""))));
  D3DXMatrixTranslation(&root.transform, 5, 0, 0);
  EXPECT_EQ(S_OK, ReleaseMeshFile(&root));
  EXPECT_EQ(nullptr, root.firstChild);
  EXPECT_EQ(nullptr, root.mesh);
  EXPECT_FLOAT_EQ(5.0f, root.transform._41);
  // A released root loads again.
  EXPECT_EQ(S_OK, Load(xtest::File(xtest::Frame("C", ""))));
  EXPECT_STREQ("C", root.firstChild->name);
}

}  // namespace
