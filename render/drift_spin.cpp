#include "render/drift_spin.h"

#include <cmath>

namespace {

constexpr float kLowerBound[3] = {-1.5f, -1.5f, -4.0f};
constexpr float kUpperBound[3] = {1.5f, 1.5f, 2.5f};
constexpr double kFullTurn = 6.283185307179586;

}  // namespace

D3DXMATRIX ComputeDriftSpin(DriftState& drift, const float (&driftSpeed)[3],
                            const float (&spinTimeBase)[3], float elapsedSeconds,
                            DWORD nowMilliseconds) {
  for (int i = 0; i < 3; ++i) {
    drift.driftPosition[i] += static_cast<float>(drift.driftDirection[i]) * driftSpeed[i] *
                              elapsedSeconds;
    if (drift.driftDirection[i] > 0 && drift.driftPosition[i] >= kUpperBound[i]) {
      drift.driftDirection[i] = -1;
    } else if (drift.driftDirection[i] < 0 && drift.driftPosition[i] <= kLowerBound[i]) {
      drift.driftDirection[i] = 1;
    }
  }
  const float pitch = SpinAngle(spinTimeBase[0], nowMilliseconds);
  const float yaw = SpinAngle(spinTimeBase[1], nowMilliseconds);
  const float roll = SpinAngle(spinTimeBase[2], nowMilliseconds);
  D3DXMATRIX rotation, translation, world;
  D3DXMatrixRotationYawPitchRoll(&rotation, yaw, pitch, roll);
  D3DXMatrixTranslation(&translation, drift.driftPosition[0], drift.driftPosition[1],
                        drift.driftPosition[2]);
  D3DXMatrixMultiply(&world, &rotation, &translation);
  return world;
}

float SpinAngle(float base, DWORD nowMilliseconds) {
  if (base == 7500.0f) return 0.0f;
  const double ms = static_cast<double>(nowMilliseconds);
  const double angle = base == 0.0f ? ms * 0.01 : ms / static_cast<double>(base);
  // Whole turns are dropped so that the angle keeps its precision after days of uptime.
  return static_cast<float>(std::fmod(angle, kFullTurn));
}
