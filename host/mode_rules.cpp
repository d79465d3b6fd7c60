#include "host/mode_rules.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

void StartModeCollection(ModeCollection& collection, D3DFORMAT desktopFormat) {
  std::memset(&collection, 0, sizeof collection);
  collection.formats[0] = desktopFormat;
  collection.formatCount = 1;
}

void CollectMode(ModeCollection& collection, const D3DDISPLAYMODE& mode) {
  if (mode.Width < 640 || mode.Height < 400) return;
  for (uint32_t i = 0; i < collection.modeCount; ++i) {
    const D3DDISPLAYMODE& seen = collection.modes[i];
    if (seen.Width == mode.Width && seen.Height == mode.Height && seen.Format == mode.Format) {
      return;  // another refresh rate of a mode we have
    }
  }
  if (collection.modeCount >= kMaxDistinctModes) return;

  bool formatKnown = false;
  for (uint32_t f = 0; f < collection.formatCount; ++f) {
    if (collection.formats[f] == mode.Format) formatKnown = true;
  }
  if (!formatKnown) {
    // A mode whose format cannot be checked could never be used: leave it out.
    if (collection.formatCount >= kMaxFormats) return;
    collection.formats[collection.formatCount++] = mode.Format;
  }
  collection.modes[collection.modeCount++] = mode;
}

void SortCollectedModes(ModeCollection& collection) {
  std::sort(collection.modes, collection.modes + collection.modeCount,
            [](const D3DDISPLAYMODE& a, const D3DDISPLAYMODE& b) {
              if (a.Width != b.Width) return a.Width < b.Width;
              if (a.Height != b.Height) return a.Height < b.Height;
              return a.Format > b.Format;
            });
}

void ListDeviceModes(const ModeCollection& collection, const FormatChoice* choices,
                     DeviceTypeRecord& record) {
  record.modeCount = 0;
  for (uint32_t m = 0; m < collection.modeCount; ++m) {
    const D3DDISPLAYMODE& mode = collection.modes[m];
    for (uint32_t f = 0; f < collection.formatCount; ++f) {
      if (!choices[f].usable || collection.formats[f] != mode.Format) continue;
      if (record.modeCount >= kMaxModes) return;
      DisplayModeEntry& entry = record.modes[record.modeCount++];
      entry.width = mode.Width;
      entry.height = mode.Height;
      entry.format = mode.Format;
      entry.behavior = choices[f].behavior;
      entry.depthStencilFormat = choices[f].depthStencilFormat;
    }
  }
}

uint32_t ChooseDefaultMode(const DisplayModeEntry* modes, uint32_t count) {
  uint32_t chosen = 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (modes[i].width != 640 || modes[i].height != 480) continue;
    chosen = i;
    const D3DFORMAT f = modes[i].format;
    if (f == D3DFMT_R5G6B5 || f == D3DFMT_X1R5G5B5 || f == D3DFMT_A1R5G5B5) break;
  }
  return chosen;
}

bool Is16BitFormat(D3DFORMAT format) {
  return format == D3DFMT_R5G6B5 || format == D3DFMT_X1R5G5B5 || format == D3DFMT_A1R5G5B5 ||
         format == D3DFMT_A4R4G4B4 || format == D3DFMT_X4R4G4B4;
}

bool Is32BitFormat(D3DFORMAT format) {
  return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8;
}

uint32_t DepthFormatCandidates(uint32_t minDepthBits, uint32_t minStencilBits,
                               D3DFORMAT (&out)[kMaxDepthCandidates]) {
  struct Candidate {
    D3DFORMAT format;
    uint32_t depthBits;
    uint32_t stencilBits;
  };
  static constexpr Candidate kCandidates[kMaxDepthCandidates] = {
      {D3DFMT_D16, 16, 0},   {D3DFMT_D15S1, 15, 1},   {D3DFMT_D24X8, 24, 0},
      {D3DFMT_D24S8, 24, 8}, {D3DFMT_D24X4S4, 24, 4}, {D3DFMT_D32, 32, 0},
  };
  uint32_t count = 0;
  for (const Candidate& c : kCandidates) {
    if (minDepthBits <= c.depthBits && minStencilBits <= c.stencilBits) out[count++] = c.format;
  }
  return count;
}

uint32_t BehaviorCandidates(bool hardwareTransformAndLight, DWORD (&out)[kMaxBehaviors]) {
  uint32_t count = 0;
  if (hardwareTransformAndLight) {
    out[count++] = D3DCREATE_HARDWARE_VERTEXPROCESSING;
    out[count++] = D3DCREATE_MIXED_VERTEXPROCESSING;
  }
  out[count++] = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
  return count;
}

int ChooseDeviceRecord(const AdapterRecord& adapter, bool allowReference, bool needWindowed) {
  int candidate = -1;
  const uint32_t count = std::min<uint32_t>(adapter.deviceCount, kMaxDeviceTypes);
  for (uint32_t i = 0; i < count; ++i) {
    const DeviceTypeRecord& record = adapter.devices[i];
    if (needWindowed && !record.canDrawWindowed) continue;
    switch (record.deviceType) {
      case D3DDEVTYPE_HAL:
        if (!adapter.disableHardware) return static_cast<int>(i);
        break;
      case D3DDEVTYPE_SW:
        candidate = static_cast<int>(i);
        break;
      case D3DDEVTYPE_REF:
        if (allowReference &&
            (candidate < 0 || adapter.devices[candidate].deviceType != D3DDEVTYPE_SW)) {
          candidate = static_cast<int>(i);
        }
        break;
      default:
        break;
    }
  }
  return candidate;
}

uint32_t ChooseFullScreenMode(const AdapterRecord& adapter, const DeviceTypeRecord& record) {
  const uint32_t count = std::min<uint32_t>(record.modeCount, kMaxModes);
  const DisplayModeEntry* modes = record.modes;
  if (adapter.savedWidth != 0) {
    for (uint32_t i = 0; i < count; ++i) {
      if (modes[i].width == adapter.savedWidth && modes[i].height == adapter.savedHeight &&
          modes[i].format == adapter.savedFormat) {
        return i;
      }
    }
  }

  if (record.deviceType == D3DDEVTYPE_SW) {
    // Software drawing is slow: the lowest mode, 16-bit where there is a choice.
    int taken = -1;
    for (uint32_t i = 0; i < count; ++i) {
      if (modes[i].height == 400) continue;
      if (taken < 0 || modes[i].height < modes[taken].height ||
          (modes[i].height == modes[taken].height && !Is16BitFormat(modes[taken].format))) {
        taken = static_cast<int>(i);
      }
    }
    return taken < 0 ? 0 : static_cast<uint32_t>(taken);
  }

  int sameSize = -1;
  for (uint32_t i = 0; i < count; ++i) {
    if (modes[i].width != adapter.desktopMode.Width ||
        modes[i].height != adapter.desktopMode.Height) {
      continue;
    }
    if (Is32BitFormat(modes[i].format)) return i;
    if (sameSize < 0) sameSize = static_cast<int>(i);
  }
  return sameSize < 0 ? 0 : static_cast<uint32_t>(sameSize);
}

int ChooseFallbackModeIndex(const DisplayModeEntry* modes, uint32_t count, uint32_t current) {
  if (current >= count) return -1;
  const DisplayModeEntry& c = modes[current];
  const uint64_t pixels = static_cast<uint64_t>(c.width) * c.height;
  const bool current32 = Is32BitFormat(c.format);
  int best = -1;
  uint64_t bestPixels = 0;
  bool best32 = false;
  for (uint32_t i = 0; i < count; ++i) {
    if (i == current) continue;
    const DisplayModeEntry& m = modes[i];
    const bool mode32 = Is32BitFormat(m.format);
    if (current32 && m.width == c.width && m.height == c.height && !mode32) {
      return static_cast<int>(i);
    }
    const uint64_t modePixels = static_cast<uint64_t>(m.width) * m.height;
    if (modePixels >= pixels) continue;
    if (modePixels > bestPixels || (!best32 && mode32)) {
      best = static_cast<int>(i);
      bestPixels = modePixels;
      best32 = mode32;
    }
  }
  return best;
}

int32_t PickBestAdapterIndex(const MonitorTable& monitors, const AdapterTable& adapters) {
  int32_t software = -1;
  for (const MonitorRecord& monitor : monitors) {
    const std::unique_ptr<AdapterRecord>* adapter = adapters.at(monitor.adapterIndex);
    if (adapter == nullptr) continue;
    if ((*adapter)->halUsable) return monitor.adapterIndex;
    if ((*adapter)->softwareUsable) software = monitor.adapterIndex;
  }
  return software;
}

bool MustLeaveBlack(const AdapterRecord& adapter, bool allowReference) {
  return adapter.disableHardware && !adapter.softwareUsable && !allowReference;
}

const char* BehaviorSuffix(D3DDEVTYPE deviceType, DWORD behavior) {
  const bool hal = deviceType == D3DDEVTYPE_HAL;
  if (behavior & D3DCREATE_HARDWARE_VERTEXPROCESSING) {
    if (behavior & D3DCREATE_PUREDEVICE) return hal ? " (pure hw vp)" : " (simulated pure hw vp)";
    return hal ? " (hw vp)" : " (simulated hw vp)";
  }
  if (behavior & D3DCREATE_MIXED_VERTEXPROCESSING) {
    return hal ? " (mixed vp)" : " (simulated mixed vp)";
  }
  if (behavior & D3DCREATE_SOFTWARE_VERTEXPROCESSING) return " (sw vp)";
  return "";
}

void FormatDeviceText(char* out, size_t size, D3DDEVTYPE deviceType, DWORD behavior,
                      const char* adapterDescription) {
  if (out == nullptr || size == 0) return;
  const char* typeName = deviceType == D3DDEVTYPE_HAL   ? "HAL"
                         : deviceType == D3DDEVTYPE_SW  ? "SW"
                         : deviceType == D3DDEVTYPE_REF ? "REF"
                                                        : "";
  if (deviceType == D3DDEVTYPE_HAL) {
    // The identifier's description is a fixed field that need not end in NUL.
    std::snprintf(out, size, "%s%s: %.*s", typeName, BehaviorSuffix(deviceType, behavior),
                  static_cast<int>(MAX_DEVICE_IDENTIFIER_STRING),
                  adapterDescription != nullptr ? adapterDescription : "");
  } else {
    std::snprintf(out, size, "%s%s", typeName, BehaviorSuffix(deviceType, behavior));
  }
}

const char* DepthFormatSuffix(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_D32: return " (D32)";
    case D3DFMT_D15S1: return " (D15S1)";
    case D3DFMT_D24S8: return " (D24S8)";
    case D3DFMT_D24X8: return " (D24X8)";
    case D3DFMT_D24X4S4: return " (D24X4S4)";
    case D3DFMT_D16: return " (D16)";
    default: return "";
  }
}

void FormatFrameStats(char* out, size_t size, float framesPerSecond, const D3DDISPLAYMODE& mode,
                      bool useDepthBuffer, D3DFORMAT depthStencilFormat) {
  if (out == nullptr || size == 0) return;
  std::snprintf(out, size, "%.02f fps (%dx%dx%d)%s", static_cast<double>(framesPerSecond),
                static_cast<int>(mode.Width), static_cast<int>(mode.Height),
                mode.Format == D3DFMT_X8R8G8B8 ? 32 : 16,
                useDepthBuffer ? DepthFormatSuffix(depthStencilFormat) : "");
}

bool CountFrame(FrameRateCounter& counter, double t, float* framesPerSecond) {
  ++counter.frames;
  const double span = t - counter.lastUpdate;
  if (!(span > 1.0)) return false;
  *framesPerSecond = static_cast<float>(counter.frames / span);
  counter.frames = 0;
  counter.lastUpdate = t;
  return true;
}
