// Program entry: one ShowApp, its start-up, its run. The exit code is always 0.
#include <windows.h>

#include "show/show_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  ShowApp app;
  app.StartUp(instance);
  app.Execute();
  return 0;
}
