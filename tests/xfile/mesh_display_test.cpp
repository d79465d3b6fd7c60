// Loading and drawing on a real Direct3D device (needs a display).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "d3dx/d3dx8_math.h"
#include "support/real_device.h"
#include "support/test_support.h"
#include "tests/xfile/xfile_writer.h"
#include "xfile/mesh_file.h"

namespace {

class MeshDisplayTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!display.Create(128, 128)) GTEST_SKIP() << "no Direct3D device: " << display.error();
  }
  void TearDown() override { ReleaseMeshFile(&root); }

  testing_support::RealDevice display;
  FrameNode root{"root"};
};

TEST_F(MeshDisplayTest, CubeIsDrawnInTheFrameColour) {
  IDirect3DDevice8* device = display.get();
  ASSERT_EQ(S_OK, LoadMeshFile(&root, device, testing_support::TestDataPath("xfile/test_cube_binary.x").c_str()));
  ASSERT_NE(nullptr, root.firstChild);

  D3DXMATRIX view, projection, world;
  D3DXVECTOR3 eye(0, 0, -6), at(0, 0, 0), up(0, 1, 0);
  device->SetTransform(D3DTS_VIEW, D3DXMatrixLookAtLH(&view, &eye, &at, &up));
  device->SetTransform(D3DTS_PROJECTION,
                       D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4, 1.0f, 0.1f, 50.0f));
  // Lit by ambient light only: every pixel of the cube is the material's ambient colour.
  device->SetRenderState(D3DRS_LIGHTING, TRUE);
  device->SetRenderState(D3DRS_AMBIENT, 0xFFFFFFFF);
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  device->SetRenderState(D3DRS_ZENABLE, TRUE);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_CURRENT);
  const MeshPaint paint = {{200, 40, 80}, {}, false, 0, {}};

  ASSERT_EQ(S_OK, device->BeginScene());
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
  RenderMeshFile(&root, device, D3DXMatrixIdentity(&world), paint);
  device->EndScene();

  const testing_support::Pixels drawn = display.ReadBackBuffer();
  ASSERT_EQ(drawn.width, 128);
  const uint32_t centre = drawn.At(64, 64);
  EXPECT_NEAR(200, static_cast<int>((centre >> 16) & 0xFF), 3);
  EXPECT_NEAR(40, static_cast<int>((centre >> 8) & 0xFF), 3);
  EXPECT_NEAR(80, static_cast<int>(centre & 0xFF), 3);
  EXPECT_EQ(0u, drawn.At(2, 2));
}

TEST_F(MeshDisplayTest, MaterialTexturesLoadAndMissingOnesStaySilent) {
  using namespace xtest;
  testing_support::TempFolder folder;
  testing_support::MessageBoxRecorder boxes;
  std::string present = testing_support::TestDataPath("xfile/test.png");
  for (char& c : present)
    if (c == '\\') c = '/';
  folder.Write(
      "textured.x",
      File(Frame("F", Mesh("m", 2, {0, 1},
                           {Material(1, 1, 1, 1, present), Material(1, 1, 1, 1, "absent.png")}))));
  ASSERT_EQ(S_OK, LoadMeshFile(&root, display.get(), folder.File("textured.x").c_str()));
  MeshObject* mesh = root.firstChild->mesh.get();
  ASSERT_NE(nullptr, mesh);
  ASSERT_EQ(2u, mesh->numMaterials);
  EXPECT_NE(nullptr, mesh->textures[0]);
  EXPECT_EQ(nullptr, mesh->textures[1]);
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(MeshDisplayTest, EveryParsableTestFileBuildsOnARealDevice) {
  for (const char* name :
       {"test_cube_text.x", "test_cube_compressed.x", "kwxport_test_cubewithvcolors.x",
        "BCN_Epileptic.X", "Testwuson.X", "fromtruespace_bin32.x", "malformed_skinweights_oob.x"}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(S_OK, LoadMeshFile(&root, display.get(), testing_support::TestDataPath(std::string("xfile/") + name).c_str()));
    int built = 0;
    std::vector<FrameNode*> pending = {root.firstChild.get()};
    while (!pending.empty()) {
      FrameNode* node = pending.back();
      pending.pop_back();
      if (node == nullptr) continue;
      if (node->mesh != nullptr && node->mesh->mesh != nullptr) ++built;
      pending.push_back(node->nextSibling.get());
      pending.push_back(node->firstChild.get());
    }
    EXPECT_GE(built, 1);
    ReleaseMeshFile(&root);
  }
}

}  // namespace
