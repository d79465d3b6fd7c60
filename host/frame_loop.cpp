// Frame loop and error display. Not built yet.
#include "host/saver_app.h"

void SaverApp::RenderFrame() {}
void SaverApp::ErrorDisplayStep() {}
void SaverApp::UpdateFrameRate() {}
