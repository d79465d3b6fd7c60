// The host clock: seconds from the performance counter, or from timeGetTime where the
// system has no counter.
#pragma once

namespace HostClock {

void Start();
double AbsoluteTime();
double AppTime();
// Seconds since the previous call (or since Start).
double ElapsedTime();

}  // namespace HostClock
