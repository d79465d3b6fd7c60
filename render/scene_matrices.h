// World matrices of the scene's items: upright, scaled and mirrored below the floor. Row-vector
// convention: applying A and then B is A * B.
#pragma once

#include "d3dx/d3dx8_math.h"

constexpr float kDegreesToRadians = 0.017453292f;

enum MirrorKind { MirrorFrame = 0, MirrorPicture = 1, MirrorObject = 2 };

// Scale (size times the aspect factors), then rotation (pitch, yaw, roll in degrees), then
// translation to position.
D3DXMATRIX ComposeItemWorld(const D3DXVECTOR3& position, const D3DXVECTOR3& size,
                            const D3DXVECTOR3& rotationDeg, float widthFactor,
                            float heightFactor);

// Scaling followed by translation.
D3DXMATRIX ComposeScaledWorld(const D3DXVECTOR3& translation, const D3DXVECTOR3& scale);

// The item's mirror image below the floor: Y is flipped in the item's own space, before its
// rotation, and the item is moved down so that it touches its upright image.
D3DXMATRIX ComposeMirrorWorld(MirrorKind kind, const D3DXVECTOR3& position,
                              const D3DXVECTOR3& size, const D3DXVECTOR3& rotationDeg,
                              float widthFactor, float heightFactor);

// How much smaller than its slot the picture of the large slot is drawn, so that its wider
// frame shows around it.
float PictureInset(float itemSize);
