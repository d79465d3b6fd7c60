// Where the four picture slots stand, the order in which they are drawn, and how a picture is
// fitted to its slot. Plain data, no device.
#pragma once

#include <vector>

#include "render/scene_item.h"

constexpr int kPictureSlotCount = 4;  // the framed pictures of one arrangement
constexpr int kLayoutCount = 2;

struct SlotPlacement {
  float position[3];
  float rotationDeg[3];  // pitch, yaw, roll
  float size;
};

// Row `slot` of layout 0 or 1. Layout 1 is layout 0 mirrored left to right.
SlotPlacement SlotLayout(int layout, int slot);

// Replaces the slots and the draw order with the four fresh slots of the layout; the order
// comes out nearest first.
void PlaceSlots(int layout, std::vector<SceneItem>& slots, std::vector<DrawOrderEntry>& order);

// Ascending distance; equal distances keep their order.
void SortDrawOrder(std::vector<DrawOrderEntry>& order);

// Sets the aspect factors from the source picture's size and lifts the item so that its bottom
// edge rests on the layout level. A picture of unknown size (it failed to load) counts as square.
void FitAspect(SceneItem& item, unsigned width, unsigned height);
