#include "host/host_clock.h"

#include <windows.h>
#include <mmsystem.h>

#include <cmath>
#include <cstdint>

namespace {

double lastElapsedSeconds = 0.0;

}  // namespace

namespace HostClock {

TimeSource g_timeSource = SystemSeconds;

double SystemSeconds() {
  static int64_t frequency = -1;
  if (frequency < 0) {
    LARGE_INTEGER f;
    frequency = QueryPerformanceFrequency(&f) && f.QuadPart > 0 ? f.QuadPart : 0;
  }
  if (frequency == 0) return timeGetTime() * 0.001;
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  // Whole seconds and the remainder apart, so that a long uptime keeps its sub-millisecond
  // resolution in the double.
  return static_cast<double>(now.QuadPart / frequency) +
         static_cast<double>(now.QuadPart % frequency) / static_cast<double>(frequency);
}

void Start() { lastElapsedSeconds = g_timeSource(); }

double AbsoluteTime() { return g_timeSource(); }

// The origin never moves, so app time is the absolute time.
double AppTime() { return AbsoluteTime(); }

unsigned long WaitMilliseconds(double seconds) {
  if (!(seconds > 0.0)) return 0;
  if (seconds >= 1.0) return 1000;
  return static_cast<unsigned long>(std::ceil(seconds * 1000.0));
}

double ElapsedTime() {
  const double now = g_timeSource();
  const double elapsed = now - lastElapsedSeconds;
  lastElapsedSeconds = now;
  return elapsed;
}

}  // namespace HostClock
