// What one frame of the full scene draws, in order: each step names a mesh, a state set, a
// depth bias, a stage-0 texture and a world matrix. Planning needs no device; DrawFullScene
// carries the steps out.
#pragma once

#include <vector>

#include "d3dx/d3dx8_math.h"
#include "render/scene_item.h"

// The seven mesh files of the scene.
enum SceneMeshId {
  PictureMesh,
  MirrorPictureMesh,
  FrameMesh,
  MirrorFrameMesh,
  ObjectMesh,
  MirrorObjectMesh,
  BackdropMesh,
  kSceneMeshCount
};

struct SceneMeshFile {
  SceneMeshId id;
  const char* relativePath;  // below the installation folder
};
// In load order.
extern const SceneMeshFile kSceneMeshFiles[kSceneMeshCount];

enum class StateSet { Frame, Picture, Object, MirrorObject };
enum class StageTexture { None, Backdrop, Environment, Slot };

struct DrawStep {
  SceneMeshId mesh;
  StateSet states;
  DWORD zBias;
  int drawingObject;  // 1: the mesh takes the object colour (and the environment map)
  StageTexture texture;
  int slot;  // picture slot of StageTexture::Slot, else -1
  D3DXMATRIX world;
};

struct SceneSwitches {
  bool invertPicture;     // gradient upside down
  bool render3DObject;    // the mug and its reflection
  bool renderReflection;  // the environment map on the mug
};

// The mug stands fixed to the lower left of the pictures.
extern const D3DXVECTOR3 kObjectPosition;

// Backdrop, then the object and its reflection, then per slot in draw order its frame, picture,
// reflected frame and reflected picture. A slot without a picture texture (slotLoaded false or
// missing) is drawn as an empty frame: its picture and reflected picture are left out.
std::vector<DrawStep> PlanFullScene(const std::vector<SceneItem>& slots,
                                    const std::vector<DrawOrderEntry>& order,
                                    const std::vector<bool>& slotLoaded,
                                    const SceneSwitches& switches);
