// Builders of the scene's meshes: the picture surface, the frame, the backdrop sphere and the mug.
#pragma once

#include "assets/mesh_data.h"

namespace assets {

// Alpha of the reflection meshes' materials: the mirror images are drawn blended and fainter.
constexpr float kReflectionAlpha = 0.35f;

// Half-extent at which the frame's moulding starts. Pictures fill at most 0.917 of the frame,
// so the moulding must stay outside 0.46 to never cover one.
constexpr float kFrameBandInner = 0.465f;

// The picture: unit square x, y in [-0.5, 0.5] at z = 0, facing the camera (-z), texture
// (0,0) at the top left and (1,1) at the bottom right.
MeshData BuildPictureMesh(float alpha);

// The frame: a backing plate over the whole unit square at z = 0 and a bevelled moulding
// raised towards the camera on the band between kFrameBandInner and 0.5.
MeshData BuildFrameMesh(float alpha);

// Radius of the backdrop sphere. The scene scales it by 75 about (0, 0, 4) and its far plane
// is at 50: a unit sphere would be cut away all along the horizon, this one stays inside.
constexpr float kBackdropRadius = 0.6f;

// Sphere of kBackdropRadius, u around (0 and 1 behind the viewer at the centre), v from the
// top (0) to the bottom (1); seen from inside, so normals and front faces point towards the
// centre.
MeshData BuildBackdropSphere(int segments, int rings);
// The shipped sphere's grid. The gradient is smooth, so a finer grid does not change the
// backdrop (a 48 x 24 one differs by at most 2 levels of 255) but costs the renderer more
// triangles, thin ones near the poles among them.
constexpr int kBackdropSegments = 32, kBackdropRings = 16;

// A mug with a handle, y in [-0.4, 0.4], smooth normals, front faces clockwise from outside.
MeshData BuildMugMesh(float alpha);

}  // namespace assets
