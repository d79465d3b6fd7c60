// Choice rules of the saver host over its plain tables: which display modes are listed and in
// what order, the default mode, the depth-buffer and vertex-processing candidates, which device
// type and mode a screen output gets, and which mode to fall back to when a device is refused.
#pragma once

#include "host/host_tables.h"

#include <cstddef>
#include <cstdint>

constexpr unsigned kMaxDistinctModes = 99;
constexpr unsigned kMaxFormats = 20;
constexpr unsigned kMaxDepthCandidates = 6;
constexpr unsigned kMaxBehaviors = 3;

// Distinct qualifying display modes of one adapter and the formats they use; the desktop
// format is always the first format.
struct ModeCollection {
  uint32_t modeCount;
  D3DDISPLAYMODE modes[kMaxDistinctModes];
  uint32_t formatCount;
  D3DFORMAT formats[kMaxFormats];
};

void StartModeCollection(ModeCollection& collection, D3DFORMAT desktopFormat);
// Adds a mode reported by the adapter unless it is smaller than 640x400, differs from a
// collected one only in refresh rate, or a table is full.
void CollectMode(ModeCollection& collection, const D3DDISPLAYMODE& mode);
// Width ascending, then height ascending, then format code descending.
void SortCollectedModes(ModeCollection& collection);

// What the checks found for one format of the collection on one device type.
struct FormatChoice {
  bool usable;
  DWORD behavior;
  D3DFORMAT depthStencilFormat;
};

// Fills record.modes (and modeCount) with every sorted mode whose format is usable.
void ListDeviceModes(const ModeCollection& collection, const FormatChoice* choices,
                     DeviceTypeRecord& record);

// Index of the default mode: the first 640x480 16-bit mode (R5G6B5, X1R5G5B5, A1R5G5B5), else
// the last 640x480 mode, else 0.
uint32_t ChooseDefaultMode(const DisplayModeEntry* modes, uint32_t count);

bool Is16BitFormat(D3DFORMAT format);  // R5G6B5, X1R5G5B5, A1R5G5B5, A4R4G4B4, X4R4G4B4
bool Is32BitFormat(D3DFORMAT format);  // A8R8G8B8, X8R8G8B8

// Depth-stencil formats worth checking for the minimum depth and stencil bits, in the order
// they are tried. Returns how many were written.
uint32_t DepthFormatCandidates(uint32_t minDepthBits, uint32_t minStencilBits,
                               D3DFORMAT (&out)[kMaxDepthCandidates]);

// Vertex-processing behaviours in the order they are tried; the first accepted one is used.
uint32_t BehaviorCandidates(bool hardwareTransformAndLight, DWORD (&out)[kMaxBehaviors]);

// Device record for an output: a HAL record at once unless hardware is disabled, else the
// software record, else (when allowed) the reference record. -1 when there is none.
// With needWindowed only records that can draw into a window count.
int ChooseDeviceRecord(const AdapterRecord& adapter, bool allowReference, bool needWindowed);

// Mode of a full-screen output on record: the saved mode when still listed, else the smallest
// software mode not 400 pixels high, or for HAL and REF the desktop size in 32 bits.
uint32_t ChooseFullScreenMode(const AdapterRecord& adapter, const DeviceTypeRecord& record);

// The next mode to try after the mode at `current` was refused: the same size in a format
// that is not 32-bit, else the largest smaller mode (32-bit ones preferred). -1 when none.
int ChooseFallbackModeIndex(const DisplayModeEntry* modes, uint32_t count, uint32_t current);

// Adapter for the single windowed output, or for the one monitor of a single-screen run: the
// first monitor whose adapter has a usable HAL device, else the last with a usable software
// device. -1 when there is none.
int32_t PickBestAdapterIndex(const MonitorTable& monitors, const AdapterTable& adapters);

// A monitor whose hardware is disabled and that has neither a software nor a reference device
// to fall back on is left black.
bool MustLeaveBlack(const AdapterRecord& adapter, bool allowReference);

// " (hw vp)" and friends for a device's behaviour flags.
const char* BehaviorSuffix(D3DDEVTYPE deviceType, DWORD behavior);
// "HAL (hw vp): <adapter description>", cut to the buffer.
void FormatDeviceText(char* out, size_t size, D3DDEVTYPE deviceType, DWORD behavior,
                      const char* adapterDescription);

// " (D16)" and friends; empty for any other format.
const char* DepthFormatSuffix(D3DFORMAT format);
// "60.00 fps (1024x768x32) (D16)"; the depth suffix only with a depth buffer.
void FormatFrameStats(char* out, size_t size, float framesPerSecond, const D3DDISPLAYMODE& mode,
                      bool useDepthBuffer, D3DFORMAT depthStencilFormat);

// Frame counting for the frame-rate text: the first frame measures at once, later ones only
// when more than a second has passed since the last measurement.
struct FrameRateCounter {
  uint32_t frames;
  double lastUpdate;
};
// Counts a frame at time t; true (and the rate) when a new rate was measured.
bool CountFrame(FrameRateCounter& counter, double t, float* framesPerSecond);
