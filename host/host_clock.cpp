#include "host/host_clock.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>

namespace {

struct ClockState {
  bool asked = false;
  bool counterAvailable = false;
  int64_t frequency = 0;
  int64_t lastElapsedTicks = 0;
  double lastElapsedSeconds = 0.0;
};
ClockState clock;

void AskOnce() {
  if (clock.asked) return;
  clock.asked = true;
  LARGE_INTEGER frequency;
  if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0) {
    clock.counterAvailable = true;
    clock.frequency = frequency.QuadPart;
  }
}

int64_t NowTicks() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double NowSeconds() { return timeGetTime() * 0.001; }

}  // namespace

namespace HostClock {

void Start() {
  AskOnce();
  if (clock.counterAvailable) {
    clock.lastElapsedTicks = NowTicks();
  } else {
    clock.lastElapsedSeconds = NowSeconds();
  }
}

double AbsoluteTime() {
  AskOnce();
  if (clock.counterAvailable) return static_cast<double>(NowTicks()) / clock.frequency;
  return NowSeconds();
}

// The origin never moves, so app time is the absolute time.
double AppTime() { return AbsoluteTime(); }

double ElapsedTime() {
  AskOnce();
  if (clock.counterAvailable) {
    const int64_t now = NowTicks();
    const double elapsed = static_cast<double>(now - clock.lastElapsedTicks) / clock.frequency;
    clock.lastElapsedTicks = now;
    return elapsed;
  }
  const double now = NowSeconds();
  const double elapsed = now - clock.lastElapsedSeconds;
  clock.lastElapsedSeconds = now;
  return elapsed;
}

}  // namespace HostClock
