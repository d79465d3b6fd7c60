// The built saver started as the system starts it, watched from outside: its windows, its exit
// code. Used by the end-to-end tests, the soak run and the start-up benchmark.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

constexpr char kSaverWindowClass[] = "SolvaneSaverWndClass";

// Milliseconds from the performance counter.
double NowMs();
// Keeps this thread's windows answering for a while (none: only what is queued now).
void Pump(DWORD milliseconds);

class SaverProcess {
 public:
  // withoutDirect3D: d3d8.dll is hidden from the child, as on a system without Direct3D.
  SaverProcess(const std::string& program, const std::string& arguments,
               bool withoutDirect3D = false);
  // Closes a saver still running, and ends it when it does not close.
  ~SaverProcess();
  SaverProcess(const SaverProcess&) = delete;
  SaverProcess& operator=(const SaverProcess&) = delete;

  bool started() const { return started_; }
  bool Running() const;
  HANDLE process() const { return info_.hProcess; }

  // The visible top-level windows of the process with the class, in Z order.
  std::vector<HWND> TopLevels(const char* className) const;
  // A visible top-level window of the process with the class, waiting up to the time given.
  HWND FindTopLevel(const char* className = kSaverWindowClass, DWORD milliseconds = 0) const;
  // Waits until its message loop has handled everything queued so far (the first frame may
  // take seconds), then lets it run for a while.
  void Settle(HWND window, DWORD milliseconds) const;
  // The exit code, or STILL_ACTIVE when it did not end in time.
  DWORD WaitForExit(DWORD milliseconds) const;
  // Asks its window to close; true when it then ended, with its exit code.
  bool Close(DWORD milliseconds, DWORD* exitCode = nullptr) const;

 private:
  PROCESS_INFORMATION info_ = {};
  bool started_ = false;
  bool withoutDirect3D_;
};

}  // namespace testing_support
