// The host clock: seconds from the performance counter, or from timeGetTime where the
// system has no counter. Everything that animates reads time here, so that tests can step
// the clock by hand instead of sleeping.
#pragma once

namespace HostClock {

void Start();
double AbsoluteTime();
double AppTime();
// Seconds since the previous call (or since Start).
double ElapsedTime();
// A wait for `seconds`, at most one second, in whole milliseconds rounded up: any time left
// waits at least a millisecond, so a loop waiting for a deadline cannot spin on zero waits.
unsigned long WaitMilliseconds(double seconds);

// Where the clock reads the time, in seconds from any fixed origin; tests replace it.
using TimeSource = double (*)();
extern TimeSource g_timeSource;
double SystemSeconds();

}  // namespace HostClock
