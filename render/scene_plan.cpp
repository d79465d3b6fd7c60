#include "render/scene_plan.h"

#include "render/scene_matrices.h"

const SceneMeshFile kSceneMeshFiles[kSceneMeshCount] = {
    {PictureMesh, "data\\objects\\object2n.x"},
    {FrameMesh, "data\\objects\\object2nf.x"},
    {MirrorPictureMesh, "data\\objects\\object2.x"},
    {MirrorFrameMesh, "data\\objects\\object2f.x"},
    {BackdropMesh, "data\\objects\\vrkrogla2.x"},
    {ObjectMesh, "data\\objects\\coffeemug.x"},
    {MirrorObjectMesh, "data\\objects\\coffeemug2.x"},
};

const D3DXVECTOR3 kObjectPosition(-1.2f, -1.0f, 3.8f);

namespace {

DrawStep Step(SceneMeshId mesh, StateSet states, DWORD zBias, int drawingObject,
              StageTexture texture, int slot, const D3DXMATRIX& world) {
  return {mesh, states, zBias, drawingObject, texture, slot, world};
}

D3DXVECTOR3 Cube(float edge) { return D3DXVECTOR3(edge, edge, edge); }

}  // namespace

std::vector<DrawStep> PlanFullScene(const std::vector<SceneItem>& slots,
                                    const std::vector<DrawOrderEntry>& order,
                                    const std::vector<bool>& slotLoaded,
                                    const SceneSwitches& switches) {
  std::vector<DrawStep> steps;
  steps.reserve(3 + order.size() * 4);

  // The gradient sphere around everything; a negative height turns it upside down.
  const float height = switches.invertPicture ? -10.0f : 10.0f;
  steps.push_back(Step(BackdropMesh, StateSet::Picture, 0, 0, StageTexture::Backdrop, -1,
                       ComposeScaledWorld(D3DXVECTOR3(0, 0, 4), D3DXVECTOR3(75, height, 75))));

  if (switches.render3DObject) {
    const StageTexture environment =
        switches.renderReflection ? StageTexture::Environment : StageTexture::None;
    const D3DXVECTOR3 unit(1, 1, 1), still(0, 0, 0);
    steps.push_back(Step(ObjectMesh, StateSet::Object, 0, 1, environment, -1,
                         ComposeItemWorld(kObjectPosition, unit, still, 1.0f, 1.0f)));
    steps.push_back(
        Step(MirrorObjectMesh, StateSet::MirrorObject, 0, 1, environment, -1,
             ComposeMirrorWorld(MirrorObject, kObjectPosition, unit, still, 1.0f, 1.0f)));
  }

  for (const DrawOrderEntry& entry : order) {
    const int slot = entry.slotIndex;
    if (slot < 0 || static_cast<size_t>(slot) >= slots.size()) continue;
    const SceneItem& item = slots[slot];
    const D3DXVECTOR3 position(item.position), turn(item.rotationDeg);
    const float s = item.itemSize, u = item.widthFactor, h = item.heightFactor;
    const float d = PictureInset(s);
    const bool loaded = static_cast<size_t>(slot) < slotLoaded.size() && slotLoaded[slot];

    steps.push_back(Step(FrameMesh, StateSet::Frame, 0, 0, StageTexture::None, slot,
                         ComposeItemWorld(position, Cube(s + 0.1f), turn, u, h)));
    if (loaded) {
      steps.push_back(Step(PictureMesh, StateSet::Picture, 1, 0, StageTexture::Slot, slot,
                           ComposeItemWorld(position, Cube(s - d), turn, u, h)));
    }
    steps.push_back(
        Step(MirrorFrameMesh, StateSet::Frame, 0, 0, StageTexture::None, slot,
             ComposeMirrorWorld(MirrorFrame, position, Cube(s + 0.1f), turn, u, h)));
    if (loaded) {
      steps.push_back(
          Step(MirrorPictureMesh, StateSet::Picture, 1, 0, StageTexture::Slot, slot,
               ComposeMirrorWorld(MirrorPicture, position, Cube(s - d), turn, u, h)));
    }
  }
  return steps;
}
