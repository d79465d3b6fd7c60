#include "host/error_box_motion.h"

ErrorBox StartErrorBox(const BoxArea& area, bool preview, int dpi) {
  const float width = static_cast<float>(area.right - area.left);
  const float height = static_cast<float>(area.bottom - area.top);
  ErrorBox box{};
  if (preview) {
    box.width = width;
    box.height = height;
    return box;
  }
  // Whole pixels, so the box is the same at 96 DPI as it always was.
  const float scale = dpi > 0 ? static_cast<float>(dpi) / 96.0f : 1.0f;
  box.width = static_cast<float>(static_cast<int>(kErrorBoxWidth * scale + 0.5f));
  box.height = static_cast<float>(static_cast<int>(kErrorBoxHeight * scale + 0.5f));
  box.x = (static_cast<float>(area.left + area.right) - box.width) * 0.5f;
  box.y = (static_cast<float>(area.top + area.bottom) - box.height) * 0.5f;
  box.velocityX = width * 0.1f;
  box.velocityY = height * 0.05f;
  return box;
}

BoxPixels BoxToPixels(const ErrorBox& box) {
  return {static_cast<int>(box.x), static_cast<int>(box.y), static_cast<int>(box.x + box.width),
          static_cast<int>(box.y + box.height)};
}

namespace {

// One axis: turn back when the next step would cross the far edge going forward or the near
// edge going back.
void Bounce(float position, float size, float nearEdge, float farEdge, float dt,
            float& velocity) {
  if (position + size + dt * velocity > farEdge && velocity > 0) {
    velocity = -velocity;
  } else if (position + dt * velocity < nearEdge && velocity < 0) {
    velocity = -velocity;
  }
}

}  // namespace

bool MoveErrorBox(ErrorBox& box, const BoxArea& area, float dt, BoxPixels* before,
                  BoxPixels* after) {
  const BoxPixels old = BoxToPixels(box);
  Bounce(box.x, box.width, static_cast<float>(area.left), static_cast<float>(area.right), dt,
         box.velocityX);
  Bounce(box.y, box.height, static_cast<float>(area.top), static_cast<float>(area.bottom), dt,
         box.velocityY);
  box.x += dt * box.velocityX;
  box.y += dt * box.velocityY;
  const BoxPixels now = BoxToPixels(box);
  if (before != nullptr) *before = old;
  if (after != nullptr) *after = now;
  return now.left != old.left || now.top != old.top;
}
