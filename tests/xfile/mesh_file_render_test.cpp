// Drawing loaded frame trees: order, transforms, passes, colours and the environment hook.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"
#include "tests/xfile/recording_device.h"
#include "tests/xfile/xfile_writer.h"
#include "xfile/mesh_file.h"

namespace {

using namespace xtest;

const std::string kWhite = Material(1, 1, 1, 1);

std::vector<std::string> hookCalls;

// Paint that records the environment-map hooks it runs.
MeshPaint RecordingPaint(int drawingObject, bool objectReflects) {
  MeshPaint paint;
  paint.drawingObject = drawingObject;
  paint.objectReflects = objectReflects;
  paint.environment.setup = [](IDirect3DDevice8*, bool translucent) {
    hookCalls.push_back(translucent ? "setup translucent" : "setup opaque");
  };
  paint.environment.reset = [](IDirect3DDevice8*) { hookCalls.push_back("reset"); };
  return paint;
}

class MeshFileRenderTest : public testing::Test {
 protected:
  void SetUp() override { hookCalls.clear(); }
  void TearDown() override { ReleaseMeshFile(&root); }
  void Load(const std::string& body) {
    folder.Write("mesh.x", File(body));
    ASSERT_EQ(S_OK, LoadMeshFile(&root, &device, folder.File("mesh.x").c_str()));
    device.events.clear();
  }
  // Index of the first event setting the render state to the value, or events.size().
  size_t FindState(D3DRENDERSTATETYPE state, DWORD value, size_t from = 0) const {
    for (size_t i = from; i < device.events.size(); ++i) {
      const DeviceEvent& e = device.events[i];
      if (e.kind == DeviceEvent::kRenderState && e.state == static_cast<DWORD>(state) &&
          e.value == value)
        return i;
    }
    return device.events.size();
  }
  std::vector<DeviceEvent> DrawsBetween(size_t from, size_t to) const {
    std::vector<DeviceEvent> draws;
    for (size_t i = from; i < to && i < device.events.size(); ++i)
      if (device.events[i].kind == DeviceEvent::kDraw) draws.push_back(device.events[i]);
    return draws;
  }

  testing_support::TempFolder folder;
  RecordingDevice device;
  FrameNode root{"root"};
};

TEST_F(MeshFileRenderTest, LaterSiblingIsDrawnFirst) {
  Load(Frame("A", Translation(1, 0, 0) + Mesh("a", 1, {0}, {kWhite})) +
       Frame("B", Translation(2, 0, 0) + Mesh("b", 1, {0}, {kWhite})));
  RenderMeshFile(&root, &device, nullptr);
  std::vector<DeviceEvent> draws = device.Draws();
  ASSERT_EQ(2u, draws.size());
  EXPECT_FLOAT_EQ(2.0f, draws[0].matrix._41);
  EXPECT_FLOAT_EQ(1.0f, draws[1].matrix._41);
}

TEST_F(MeshFileRenderTest, TopLevelMeshIsNotDrawn) {
  Load(Mesh("loose", 5, {0, 0, 0, 0, 0}, {kWhite}) + Frame("F", Mesh("framed", 1, {0}, {kWhite})));
  ASSERT_NE(nullptr, root.mesh);
  RenderMeshFile(&root, &device, nullptr);
  std::vector<DeviceEvent> draws = device.Draws();
  ASSERT_EQ(1u, draws.size());
  EXPECT_EQ(1u, draws[0].primitives);
}

TEST_F(MeshFileRenderTest, RootTransformFollowsTheWorldAndFramesPrecedeTheirParents) {
  Load(Frame("F", Translation(1, 0, 0) + Mesh("f", 1, {0}, {kWhite}) +
                      Frame("G", Translation(0, 3, 0) + Mesh("g", 2, {0, 0}, {kWhite}))));
  D3DXMATRIX world, frame, child;
  D3DXMatrixTranslation(&world, 10, 0, 0);
  D3DXMatrixScaling(&root.transform, 2, 2, 2);
  D3DXMatrixTranslation(&frame, 1, 0, 0);
  D3DXMatrixTranslation(&child, 0, 3, 0);
  RenderMeshFile(&root, &device, &world);
  const D3DXMATRIX combined = world * root.transform;  // translate, then scale
  const D3DXMATRIX frameWorld = frame * combined;
  const D3DXMATRIX childWorld = child * frameWorld;
  std::vector<DeviceEvent> draws = device.Draws();
  ASSERT_EQ(2u, draws.size());
  EXPECT_FLOAT_EQ(22.0f, draws[0].matrix._41);
  EXPECT_TRUE(draws[0].matrix == frameWorld);
  EXPECT_TRUE(draws[1].matrix == childWorld);
  EXPECT_FLOAT_EQ(6.0f, draws[1].matrix._42);
  // The caller's world is back in place afterwards.
  D3DXMATRIX after;
  device.GetTransform(D3DTS_WORLD, &after);
  EXPECT_TRUE(after == world);
}

TEST_F(MeshFileRenderTest, WithoutAWorldTheDevicesCurrentOneIsUsed) {
  Load(Frame("F", Mesh("f", 1, {0}, {kWhite})));
  D3DXMATRIX current;
  D3DXMatrixTranslation(&current, 0, 0, 7);
  device.SetTransform(D3DTS_WORLD, &current);
  RenderMeshFile(&root, &device, nullptr);
  ASSERT_EQ(1u, device.Draws().size());
  EXPECT_FLOAT_EQ(7.0f, device.Draws()[0].matrix._43);
}

// Subsets of 1, 2 and 3 triangles with diffuse alpha 1.0, 0.5 and 1.5.
TEST_F(MeshFileRenderTest, OpaqueAndTranslucentPassMembership) {
  Load(Frame("F",
             Mesh("m", 6, {0, 1, 1, 2, 2, 2},
                  {Material(1, 1, 1, 1.0f), Material(1, 1, 1, 0.5f), Material(1, 1, 1, 1.5f)})));
  RenderMeshFile(&root, &device, nullptr);
  const size_t blendOn = FindState(D3DRS_ALPHABLENDENABLE, TRUE);
  ASSERT_LT(blendOn, device.events.size());
  std::vector<DeviceEvent> opaque = DrawsBetween(0, blendOn);
  std::vector<DeviceEvent> translucent = DrawsBetween(blendOn, device.events.size());
  ASSERT_EQ(2u, opaque.size());
  EXPECT_EQ(1u, opaque[0].primitives);
  EXPECT_EQ(3u, opaque[1].primitives);
  EXPECT_FLOAT_EQ(1.0f, opaque[0].material.Diffuse.a);
  EXPECT_FLOAT_EQ(1.0f, opaque[1].material.Diffuse.a);
  ASSERT_EQ(2u, translucent.size());
  EXPECT_EQ(2u, translucent[0].primitives);
  EXPECT_FLOAT_EQ(0.5f, translucent[0].material.Diffuse.a);
  EXPECT_FLOAT_EQ(1.0f, translucent[0].material.Ambient.a);
  EXPECT_EQ(3u, translucent[1].primitives);
  EXPECT_FLOAT_EQ(1.5f, translucent[1].material.Diffuse.a);
  // Blending with source alpha for the translucent pass, and off at the end.
  EXPECT_EQ(static_cast<DWORD>(D3DBLEND_SRCALPHA), device.RenderState(D3DRS_SRCBLEND));
  EXPECT_EQ(static_cast<DWORD>(D3DBLEND_INVSRCALPHA), device.RenderState(D3DRS_DESTBLEND));
  EXPECT_EQ(static_cast<DWORD>(FALSE), device.RenderState(D3DRS_ALPHABLENDENABLE, TRUE));
  EXPECT_EQ(static_cast<DWORD>(D3DMCS_MATERIAL), device.RenderState(D3DRS_DIFFUSEMATERIALSOURCE));
  // Drawing again gives the same passes: the file's alpha survives the opaque pass.
  device.events.clear();
  RenderMeshFile(&root, &device, nullptr);
  EXPECT_EQ(4u, device.Draws().size());
}

TEST_F(MeshFileRenderTest, FramesTakeTheFrameColourAndTheObjectItsOwn) {
  Load(Frame("F", Mesh("m", 2, {0, 1},
                       {Material(0.1f, 0.2f, 0.3f, 1), Material(0.9f, 0.8f, 0.7f, 0.5f)})));
  MeshPaint paint = {{255, 0, 51}, {0, 102, 255}, false, 0, RecordingPaint(0, false).environment};
  RenderMeshFile(&root, &device, nullptr, paint);
  std::vector<DeviceEvent> draws = device.Draws();
  ASSERT_EQ(2u, draws.size());
  for (const DeviceEvent& d : draws) {
    EXPECT_FLOAT_EQ(1.0f, d.material.Diffuse.r);
    EXPECT_FLOAT_EQ(0.0f, d.material.Diffuse.g);
    EXPECT_FLOAT_EQ(0.2f, d.material.Diffuse.b);
    EXPECT_FLOAT_EQ(0.2f, d.material.Ambient.b);
    EXPECT_FLOAT_EQ(1.0f, d.material.Ambient.a);
  }
  EXPECT_FLOAT_EQ(0.5f, draws[1].material.Diffuse.a);

  device.events.clear();
  paint.drawingObject = 1;
  RenderMeshFile(&root, &device, nullptr, paint);
  draws = device.Draws();
  ASSERT_EQ(2u, draws.size());
  for (const DeviceEvent& d : draws) {
    EXPECT_FLOAT_EQ(0.0f, d.material.Diffuse.r);
    EXPECT_FLOAT_EQ(0.4f, d.material.Diffuse.g);
    EXPECT_FLOAT_EQ(1.0f, d.material.Ambient.b);
  }
  EXPECT_TRUE(hookCalls.empty());  // reflections off
}

TEST_F(MeshFileRenderTest, EnvironmentHookWrapsEachObjectSubsetWhenReflectionsAreOn) {
  Load(Frame("F", Mesh("m", 2, {0, 1}, {Material(1, 1, 1, 1), Material(1, 1, 1, 0.5f)})));
  RenderMeshFile(&root, &device, nullptr, RecordingPaint(0, true));
  EXPECT_TRUE(hookCalls.empty());  // frames never get the environment map

  RenderMeshFile(&root, &device, nullptr, RecordingPaint(1, true));
  EXPECT_EQ((std::vector<std::string>{"setup opaque", "reset", "setup translucent", "reset"}),
            hookCalls);
}

}  // namespace
