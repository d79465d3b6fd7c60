// Program entry: one ShowApp with the configuration dialog of the layer above, its start-up,
// its run. The exit code is always 0.
#include <windows.h>

#include "config/config_dialog.h"
#include "show/show_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  ShowApp app(RunConfigurationDialog);
  app.StartUp(instance);
  app.Execute();
  return 0;
}
