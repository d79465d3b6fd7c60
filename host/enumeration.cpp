// Adapter, device and mode enumeration. Not built yet: no adapter is listed.
#include "host/saver_app.h"

HRESULT SaverApp::EnumerateAdapters() {
  adapterCount = 0;
  return S_OK;
}

BOOL SaverApp::ChooseDepthFormat(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT*) { return FALSE; }

void SaverApp::DescribeDevices() {}
