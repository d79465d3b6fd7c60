#include "render/scene_item.h"

#include "base/safe_release.h"

SceneItem& SceneItem::operator=(SceneItem&& other) noexcept {
  if (this == &other) return *this;
  Release();
  texture = other.texture;
  extraTexture = other.extraTexture;
  other.texture = nullptr;
  other.extraTexture = nullptr;
  for (int i = 0; i < 3; ++i) {
    position[i] = other.position[i];
    rotationDeg[i] = other.rotationDeg[i];
    outward[i] = other.outward[i];
    across[i] = other.across[i];
  }
  imageInfo = other.imageInfo;
  widthFactor = other.widthFactor;
  heightFactor = other.heightFactor;
  itemSize = other.itemSize;
  pictureIndex = other.pictureIndex;
  return *this;
}

void SceneItem::Release() {
  SafeRelease(texture);
  SafeRelease(extraTexture);
}
