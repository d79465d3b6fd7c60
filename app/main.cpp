// Program entry: wires the dialogs to the show, then one ShowApp, its start-up, its run. The exit code is always 0.
#include <windows.h>

#include "config/config_dialog.h"
#include "show/show_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  g_configurationDialog = RunConfigurationDialog;
  ShowApp app;
  app.StartUp(instance);
  app.Execute();
  return 0;
}
