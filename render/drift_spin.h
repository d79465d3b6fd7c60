// Motion of the fallback scene's single picture: it drifts back and forth inside a box in
// front of the camera and turns slowly about all three axes.
#pragma once

#include <windows.h>

#include "d3dx/d3dx8_math.h"

struct DriftState {
  float driftPosition[3] = {0.0f, 0.0f, 0.0f};
  int driftDirection[3] = {1, 1, 1};
};

// Moves the picture by the elapsed seconds, turning back at the box walls (the position is not
// clamped, so a long frame may carry it past a wall), and returns its world matrix.
D3DXMATRIX ComputeDriftSpin(DriftState& drift, const float (&driftSpeed)[3],
                            const float (&spinTimeBase)[3], float elapsedSeconds,
                            DWORD nowMilliseconds);

// Angle in radians at the given system time: base 0 turns at 0.01 rad per millisecond, base
// 7500 does not turn, any other base turns one radian per `base` milliseconds.
float SpinAngle(float base, DWORD nowMilliseconds);
