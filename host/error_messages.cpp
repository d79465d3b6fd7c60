// Maps host failure codes to the message texts of the string table.
#include "base/message_box.h"
#include "host/saver_app.h"
#include "host/saver_errors.h"

#include <d3d8.h>

#include <iterator>

namespace {

struct ErrorMessage {
  HRESULT code;
  UINT stringId;
};

constexpr ErrorMessage kErrorMessages[] = {
    {E_FAIL, 2100},
    {SAVER_E_NO_DIRECT3D, 2101},
    {SAVER_E_INIT, 2102},
    {SAVER_E_CREATE_DEVICE, 2103},
    {SAVER_E_NO_COMPATIBLE_DEVICE, 2104},
    {SAVER_E_NO_HARDWARE_DEVICE, 2105},
    {SAVER_E_HW_FEATURES, 2106},
    {SAVER_E_HW_FEATURES_DESKTOP, 2107},
    {SAVER_E_MEDIA, 2108},
    {SAVER_E_RESET, 2109},
    {E_OUTOFMEMORY, 2110},
    {D3DERR_OUTOFVIDEOMEMORY, 2111},
    {SAVER_E_NO_PREVIEW, 2112},
};
static_assert(std::size(kErrorMessages) == 13, "thirteen codes have a message");

}  // namespace

UINT ErrorMessageId(HRESULT hr) {
  for (const ErrorMessage& entry : kErrorMessages) {
    if (entry.code == hr) return entry.stringId;
  }
  return IDS_ERR_GENERIC;
}

BOOL SaverApp::LookupErrorMessage(HRESULT hr, char* text, DWORD size) {
  const UINT id = ErrorMessageId(hr);
  if (text != nullptr && size > 0) {
    text[0] = '\0';
    // The module that holds the string table is the program itself, also when a test
    // executable links the resources in.
    LoadStringA(GetModuleHandleA(nullptr), id, text, static_cast<int>(size));
  }
  return id != IDS_ERR_GENERIC ? TRUE : FALSE;
}

HRESULT SaverApp::ShowErrorMessage(HRESULT hr) {
  char text[512];
  LookupErrorMessage(hr, text, sizeof text);
  g_messageBox(mainWindow, text, windowTitle, MB_ICONERROR);
  return hr;
}
