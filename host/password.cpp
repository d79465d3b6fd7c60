// Screen-saver password of the Windows 9x family. Not built yet: no password check.
#include "host/saver_app.h"

void SaverApp::PreparePasswordCheck() { isWin9x = 0; }
BOOL SaverApp::RunPasswordCheck() { return TRUE; }
void SaverApp::ChangePassword() {}
