// One textured element of the scene: a picture slot, a backdrop item or the environment record.
#pragma once

#include <windows.h>
#include <d3d8.h>
#include <wrl/client.h>

#include <cstdint>

#include "d3dx/d3dx8_image_info.h"

struct SceneItem {
  Microsoft::WRL::ComPtr<IDirect3DTexture8> texture;
  Microsoft::WRL::ComPtr<IDirect3DBaseTexture8> extraTexture;  // only the environment record
  float position[3] = {};
  float rotationDeg[3] = {};  // pitch, yaw, roll
  float outward[3] = {};      // unit vector from the origin towards position, y = 0
  float across[3] = {};       // (-outward.z, 0, outward.x)
  D3DXIMAGE_INFO imageInfo = {};
  float widthFactor = 1.0f;
  float heightFactor = 1.0f;
  float itemSize = 0.0f;
  int32_t pictureIndex = -1;

  SceneItem() = default;
  explicit SceneItem(const float (&at)[3]) {
    for (int i = 0; i < 3; ++i) position[i] = at[i];
  }
  SceneItem(SceneItem&&) noexcept = default;
  SceneItem& operator=(SceneItem&&) noexcept = default;
  SceneItem(const SceneItem&) = delete;
  SceneItem& operator=(const SceneItem&) = delete;
};

struct DrawOrderEntry {
  float distance;
  int32_t slotIndex;
};
