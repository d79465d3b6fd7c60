#include "show/slideshow_layout.h"

#include <cmath>
#include <utility>

namespace {

// Layout 0; the large picture (slot 1) stands set back behind the row of three.
constexpr SlotPlacement kLayoutZero[kPictureSlotCount] = {
    {{0.0f, -1.0f, 4.0f}, {0.0f, 5.0f, 0.0f}, 1.0f},
    {{-1.0f, -1.0f, 5.0f}, {0.0f, -10.0f, 0.0f}, 2.0f},
    {{-1.5f, -1.0f, 4.0f}, {0.0f, -25.0f, 0.0f}, 1.0f},
    {{1.5f, -1.0f, 4.0f}, {0.0f, 25.0f, 0.0f}, 1.1f},
};

void NormaliseFlat(float x, float z, float (&out)[3]) {
  const float length = std::sqrt(x * x + z * z);
  out[0] = length > 0.0f ? x / length : 0.0f;
  out[1] = 0.0f;
  out[2] = length > 0.0f ? z / length : 0.0f;
}

}  // namespace

SlotPlacement SlotLayout(int layout, int slot) {
  SlotPlacement row = kLayoutZero[slot & 3];
  if (layout == 1) {
    row.position[0] = -row.position[0];
    row.rotationDeg[1] = -row.rotationDeg[1];
  }
  return row;
}

void PlaceSlots(int layout, std::vector<SceneItem>& slots, std::vector<DrawOrderEntry>& order) {
  slots.clear();
  order.clear();
  for (int i = 0; i < kPictureSlotCount; ++i) {
    const SlotPlacement row = SlotLayout(layout, i);
    SceneItem item(row.position);
    for (int k = 0; k < 3; ++k) item.rotationDeg[k] = row.rotationDeg[k];
    item.itemSize = row.size;
    NormaliseFlat(item.position[0], item.position[2], item.outward);
    NormaliseFlat(-item.outward[2], item.outward[0], item.across);
    const float* p = item.position;
    order.push_back({std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]), i});
    slots.push_back(std::move(item));
  }
  SortDrawOrder(order);
}

void SortDrawOrder(std::vector<DrawOrderEntry>& order) {
  for (size_t pass = 0; pass + 1 < order.size(); ++pass) {
    for (size_t i = 0; i + 1 < order.size() - pass; ++i) {
      if (order[i + 1].distance < order[i].distance) std::swap(order[i], order[i + 1]);
    }
  }
}

void FitAspect(SceneItem& item, unsigned width, unsigned height) {
  if (width == 0 || height == 0) {
    item.widthFactor = 1.0f;
    item.heightFactor = 1.0f;
    item.position[1] += item.itemSize * 0.5f;
  } else if (width > height) {
    item.widthFactor = 1.0f;
    item.heightFactor = static_cast<float>(height) / static_cast<float>(width);
    item.position[1] += item.itemSize * item.heightFactor * 0.5f;
  } else {
    item.widthFactor = static_cast<float>(width) / static_cast<float>(height);
    item.heightFactor = 1.0f;
    item.position[1] += item.itemSize * 0.5f;
  }
}
