#include "show/texture_sizing.h"

#include <algorithm>
#include <cmath>

#include "d3dx/d3dx8_math.h"
#include "render/full_scene.h"
#include "render/scene_matrices.h"
#include "show/slideshow_layout.h"

float SlotScreenExtent(int slot, uint32_t backBufferWidth, uint32_t backBufferHeight) {
  if (backBufferWidth == 0 || backBufferHeight == 0) return 0.0f;
  D3DXMATRIX view, projection;
  ShowCameraMatrices(static_cast<float>(backBufferWidth) / static_cast<float>(backBufferHeight),
                     &view, &projection);
  const D3DXMATRIX viewProjection = view * projection;
  float extent = 0.0f;
  for (int layout = 0; layout < kLayoutCount; ++layout) {
    std::vector<SceneItem> slots;
    std::vector<DrawOrderEntry> order;
    PlaceSlots(layout, slots, order);
    SceneItem& item = slots[static_cast<size_t>(slot) & 3];
    FitAspect(item, 1, 1);
    const float side = item.itemSize - PictureInset(item.itemSize);
    const D3DXMATRIX world = ComposeItemWorld(
        D3DXVECTOR3(item.position[0], item.position[1], item.position[2]),
        D3DXVECTOR3(side, side, side),
        D3DXVECTOR3(item.rotationDeg[0], item.rotationDeg[1], item.rotationDeg[2]), 1.0f, 1.0f);
    const D3DXMATRIX toScreen = world * viewProjection;
    float left = 1e30f, right = -1e30f, top = 1e30f, bottom = -1e30f;
    for (float x : {-0.5f, 0.5f}) {
      for (float y : {-0.5f, 0.5f}) {
        const D3DXVECTOR3 corner(x, y, 0.0f);
        D3DXVECTOR3 ndc;
        D3DXVec3TransformCoord(&ndc, &corner, &toScreen);
        const float px = (ndc.x + 1.0f) * 0.5f * static_cast<float>(backBufferWidth);
        const float py = (1.0f - ndc.y) * 0.5f * static_cast<float>(backBufferHeight);
        left = std::min(left, px);
        right = std::max(right, px);
        top = std::min(top, py);
        bottom = std::max(bottom, py);
      }
    }
    extent = std::max(extent, std::max(right - left, bottom - top));
  }
  return extent;
}

uint32_t SlotTextureEdge(int slot, uint32_t backBufferWidth, uint32_t backBufferHeight,
                         uint32_t maxTextureWidth, uint32_t maxTextureHeight) {
  const float extent = SlotScreenExtent(slot, backBufferWidth, backBufferHeight);
  uint32_t edge = kSmallestPictureEdge;
  while (edge < kLargestPictureEdge && static_cast<float>(edge) < std::ceil(extent)) edge *= 2;
  // A device that cannot take the edge gets the largest power of two it can.
  const uint32_t deviceLimit = std::min(maxTextureWidth, maxTextureHeight);
  while (edge > kSmallestPictureEdge && edge > deviceLimit) edge /= 2;
  return edge;
}
