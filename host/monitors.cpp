// Monitor discovery. Not built yet: the table stays empty.
#include "host/saver_app.h"

void SaverApp::DiscoverMonitors() { monitorCount = 0; }
