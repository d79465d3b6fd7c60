// Fixed-size records the saver host keeps about monitors, Direct3D adapters and live outputs.
#pragma once

#include <windows.h>
#include <d3d8.h>
#include <wrl/client.h>

#include <cstdint>
#include <memory>

#include "host/bounded_table.h"

// Monitors, Direct3D adapters and screen outputs: at most one of each per screen.
constexpr unsigned kMaxScreens = 9;
constexpr unsigned kMaxDeviceTypes = 3;
constexpr unsigned kMaxModes = 150;
constexpr unsigned kNoChoice = 0xFFFF;  // currentMode / currentDevice: nothing chosen

struct MonitorRecord {
  char adapterName[128];
  char monitorName[128];
  HMONITOR monitorHandle;  // null: not attached to the desktop
  RECT screenRect;         // virtual-screen coordinates
  int32_t adapterIndex;    // -1: no Direct3D adapter
  HWND window;             // saver window on this monitor
  float boxX, boxY, boxWidth, boxHeight;  // error box, client coordinates
  float boxVelocityX, boxVelocityY;       // pixels per second
};

struct DisplayModeEntry {
  uint32_t width;
  uint32_t height;
  D3DFORMAT format;
  DWORD behavior;
  D3DFORMAT depthStencilFormat;  // 0 when no depth buffer is used
};
static_assert(sizeof(DisplayModeEntry) == 20, "mode entries are 20 bytes");

struct DeviceTypeRecord {
  D3DDEVTYPE deviceType;
  D3DCAPS8 caps;
  const char* typeName;  // "HAL", "SW" or "REF"
  uint32_t canDrawWindowed;
  uint32_t modeCount;
  DisplayModeEntry modes[kMaxModes];
  uint32_t currentMode;  // kNoChoice: none
};

struct AdapterRecord {
  int32_t monitorIndex;
  D3DADAPTER_IDENTIFIER8 identifier;
  D3DDISPLAYMODE desktopMode;
  uint32_t deviceCount;
  DeviceTypeRecord devices[kMaxDeviceTypes];
  uint32_t hasHal;
  uint32_t halUsable;
  uint32_t hasSoftware;
  uint32_t softwareUsable;
  uint32_t savedWidth;
  uint32_t savedHeight;
  D3DFORMAT savedFormat;
  uint32_t leaveBlack;
  uint32_t disableHardware;
  uint32_t currentDevice;  // device record of a windowed output; kNoChoice: none
  HWND deviceWindow;
};

// Value-initialise (ScreenOutput()) to start from a zeroed record.
struct ScreenOutput {
  uint32_t adapterIndex;
  int32_t monitorIndex;
  D3DDEVTYPE deviceType;
  DWORD behavior;
  Microsoft::WRL::ComPtr<IDirect3DDevice8> device;
  D3DPRESENT_PARAMETERS presentParams;
  uint32_t resourcesCreated;
  uint32_t resourcesRestored;
  char deviceText[90];
  char frameStatsText[42];
};

// Per-adapter choices the Display Settings dialog edits and the registry keeps.
struct DisplayChoice {
  uint32_t savedWidth;  // 0: automatic
  uint32_t savedHeight;
  D3DFORMAT savedFormat;
  uint32_t leaveBlack;
  uint32_t disableHardware;
};

using MonitorTable = BoundedTable<MonitorRecord, kMaxScreens>;
// Adapter records are large: each lives on the heap; a listed record is never null.
using AdapterTable = BoundedTable<std::unique_ptr<AdapterRecord>, kMaxScreens>;
using OutputTable = BoundedTable<ScreenOutput, kMaxScreens>;
