// Failure codes of the saver host and the string-table ids of their messages.
#pragma once

#include <windows.h>

constexpr HRESULT SAVER_E_NO_DIRECT3D = static_cast<HRESULT>(0x82000001);
constexpr HRESULT SAVER_E_NO_COMPATIBLE_DEVICE = static_cast<HRESULT>(0x82000003);
constexpr HRESULT SAVER_E_NO_HARDWARE_DEVICE = static_cast<HRESULT>(0x82000005);
constexpr HRESULT SAVER_E_HW_FEATURES = static_cast<HRESULT>(0x82000006);
constexpr HRESULT SAVER_E_INIT = static_cast<HRESULT>(0x82000007);
constexpr HRESULT SAVER_E_HW_FEATURES_DESKTOP = static_cast<HRESULT>(0x82000009);
constexpr HRESULT SAVER_E_MEDIA = static_cast<HRESULT>(0x8200000B);
constexpr HRESULT SAVER_E_RESET = static_cast<HRESULT>(0x8200000C);
constexpr HRESULT SAVER_E_SCENE_RESOURCES = static_cast<HRESULT>(0x8200000D);
constexpr HRESULT SAVER_E_CREATE_DEVICE = static_cast<HRESULT>(0x8200000E);
constexpr HRESULT SAVER_E_NO_PREVIEW = static_cast<HRESULT>(0x8200000F);

// String table ids (resources/strings.rc).
constexpr UINT IDS_WINDOW_TITLE = 1000;
constexpr UINT IDS_ERR_GENERIC = 2100;

// The string id of hr's message; IDS_ERR_GENERIC for codes without one of their own.
UINT ErrorMessageId(HRESULT hr);
