// The host clock stepped by hand: it starts at the real time and moves only when told.
#pragma once

#include "host/host_clock.h"

namespace testing_support {

class ManualClock {
 public:
  ManualClock() : saved_(HostClock::g_timeSource) {
    now_ = HostClock::SystemSeconds();
    HostClock::g_timeSource = [] { return now_; };
  }
  ~ManualClock() { HostClock::g_timeSource = saved_; }
  ManualClock(const ManualClock&) = delete;
  ManualClock& operator=(const ManualClock&) = delete;
  void Advance(double seconds) { now_ += seconds; }

 private:
  static inline double now_ = 0.0;
  HostClock::TimeSource saved_;
};

}  // namespace testing_support
