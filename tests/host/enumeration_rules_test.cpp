// The host's choice rules over plain tables: mode lists, default and fallback modes, device
// types, depth formats, behaviours, the device and frame-rate texts, and the error box motion.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "host/error_box_motion.h"
#include "host/mode_rules.h"

namespace {

D3DDISPLAYMODE Mode(UINT w, UINT h, D3DFORMAT f, UINT refresh = 60) { return {w, h, refresh, f}; }

DisplayModeEntry Entry(uint32_t w, uint32_t h, D3DFORMAT f) {
  return {w, h, f, D3DCREATE_SOFTWARE_VERTEXPROCESSING, D3DFMT_D16};
}

void SetModes(DeviceTypeRecord& record, const std::vector<DisplayModeEntry>& modes) {
  record.modeCount = static_cast<uint32_t>(modes.size());
  for (size_t i = 0; i < modes.size(); ++i) record.modes[i] = modes[i];
}

std::unique_ptr<AdapterRecord> NewAdapter() {
  auto adapter = std::make_unique<AdapterRecord>();
  std::memset(adapter.get(), 0, sizeof *adapter);
  adapter->monitorIndex = -1;
  return adapter;
}

TEST(ModeCollection, KeepsOnlyModesOfAtLeast640By400OncePerRefreshRate) {
  ModeCollection c;
  StartModeCollection(c, D3DFMT_X8R8G8B8);
  CollectMode(c, Mode(639, 480, D3DFMT_X8R8G8B8));
  CollectMode(c, Mode(640, 399, D3DFMT_X8R8G8B8));
  CollectMode(c, Mode(640, 400, D3DFMT_X8R8G8B8, 60));
  CollectMode(c, Mode(640, 400, D3DFMT_X8R8G8B8, 75));
  CollectMode(c, Mode(640, 400, D3DFMT_R5G6B5, 60));
  ASSERT_EQ(c.modeCount, 2u);
  EXPECT_EQ(c.modes[0].Width, 640u);
  EXPECT_EQ(c.modes[0].Height, 400u);
  // The desktop format leads the format list even when modes name another one first.
  ASSERT_EQ(c.formatCount, 2u);
  EXPECT_EQ(c.formats[0], D3DFMT_X8R8G8B8);
  EXPECT_EQ(c.formats[1], D3DFMT_R5G6B5);
}

TEST(ModeCollection, SortsByWidthThenHeightThenFormatCodeDescending) {
  ModeCollection c;
  StartModeCollection(c, D3DFMT_X8R8G8B8);
  CollectMode(c, Mode(800, 600, D3DFMT_X8R8G8B8));
  CollectMode(c, Mode(640, 480, D3DFMT_X8R8G8B8));
  CollectMode(c, Mode(1024, 400, D3DFMT_R5G6B5));
  CollectMode(c, Mode(640, 480, D3DFMT_R5G6B5));
  CollectMode(c, Mode(800, 480, D3DFMT_X1R5G5B5));
  SortCollectedModes(c);
  const std::vector<std::vector<UINT>> expected = {{640, 480, D3DFMT_R5G6B5},
                                                   {640, 480, D3DFMT_X8R8G8B8},
                                                   {800, 480, D3DFMT_X1R5G5B5},
                                                   {800, 600, D3DFMT_X8R8G8B8},
                                                   {1024, 400, D3DFMT_R5G6B5}};
  ASSERT_EQ(c.modeCount, expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(c.modes[i].Width, expected[i][0]) << i;
    EXPECT_EQ(c.modes[i].Height, expected[i][1]) << i;
    EXPECT_EQ(static_cast<UINT>(c.modes[i].Format), expected[i][2]) << i;
  }
}

TEST(ModeCollection, StopsAt99ModesAnd20Formats) {
  ModeCollection c;
  StartModeCollection(c, D3DFMT_X8R8G8B8);
  for (UINT i = 0; i < 150; ++i) CollectMode(c, Mode(640 + i, 480, D3DFMT_X8R8G8B8));
  EXPECT_EQ(c.modeCount, kMaxDistinctModes);

  StartModeCollection(c, D3DFMT_X8R8G8B8);
  for (UINT f = 0; f < 30; ++f) CollectMode(c, Mode(640, 480, static_cast<D3DFORMAT>(100 + f)));
  EXPECT_EQ(c.formatCount, kMaxFormats);
  // A mode whose format found no room is not listed: nothing could check it.
  EXPECT_EQ(c.modeCount, kMaxFormats - 1);
  for (uint32_t i = 0; i < c.modeCount; ++i) {
    bool listed = false;
    for (uint32_t f = 0; f < c.formatCount; ++f) listed |= c.formats[f] == c.modes[i].Format;
    EXPECT_TRUE(listed) << i;
  }
}

TEST(ModeCollection, DeviceModesTakeBehaviourAndDepthOfTheirUsableFormat) {
  ModeCollection c;
  StartModeCollection(c, D3DFMT_X8R8G8B8);
  CollectMode(c, Mode(640, 480, D3DFMT_X8R8G8B8));
  CollectMode(c, Mode(640, 480, D3DFMT_R5G6B5));
  CollectMode(c, Mode(800, 600, D3DFMT_X8R8G8B8));
  SortCollectedModes(c);
  FormatChoice choices[kMaxFormats] = {};
  choices[0] = {true, D3DCREATE_HARDWARE_VERTEXPROCESSING, D3DFMT_D24X8};
  choices[1] = {false, 0, D3DFMT_UNKNOWN};
  auto record = std::make_unique<DeviceTypeRecord>();
  ListDeviceModes(c, choices, *record);
  ASSERT_EQ(record->modeCount, 2u);
  EXPECT_EQ(record->modes[0].width, 640u);
  EXPECT_EQ(record->modes[0].format, D3DFMT_X8R8G8B8);
  EXPECT_EQ(record->modes[0].behavior, DWORD{D3DCREATE_HARDWARE_VERTEXPROCESSING});
  EXPECT_EQ(record->modes[0].depthStencilFormat, D3DFMT_D24X8);
  EXPECT_EQ(record->modes[1].width, 800u);
}

TEST(DefaultMode, First16BitOf640By480ElseLast640By480ElseZero) {
  EXPECT_EQ(ChooseDefaultMode(std::vector<DisplayModeEntry>{Entry(640, 480, D3DFMT_X8R8G8B8),
                                                            Entry(640, 480, D3DFMT_R5G6B5),
                                                            Entry(640, 480, D3DFMT_X1R5G5B5)}
                                  .data(),
                              3),
            1u);
  EXPECT_EQ(ChooseDefaultMode(std::vector<DisplayModeEntry>{Entry(640, 400, D3DFMT_R5G6B5),
                                                            Entry(640, 480, D3DFMT_X8R8G8B8),
                                                            Entry(640, 480, D3DFMT_A8R8G8B8),
                                                            Entry(800, 600, D3DFMT_R5G6B5)}
                                  .data(),
                              4),
            2u);
  EXPECT_EQ(ChooseDefaultMode(std::vector<DisplayModeEntry>{Entry(800, 600, D3DFMT_R5G6B5),
                                                            Entry(1024, 768, D3DFMT_R5G6B5)}
                                  .data(),
                              2),
            0u);
  // A4R4G4B4 counts as 16-bit elsewhere, not for the default mode.
  EXPECT_EQ(ChooseDefaultMode(std::vector<DisplayModeEntry>{Entry(640, 480, D3DFMT_A4R4G4B4),
                                                            Entry(640, 480, D3DFMT_X8R8G8B8)}
                                  .data(),
                              2),
            1u);
}

TEST(DepthFormats, CandidatesFollowTheFixedOrderUnderTheMinimumBits) {
  D3DFORMAT out[kMaxDepthCandidates];
  auto list = [&](uint32_t depth, uint32_t stencil) {
    const uint32_t n = DepthFormatCandidates(depth, stencil, out);
    return std::vector<D3DFORMAT>(out, out + n);
  };
  EXPECT_EQ(list(16, 0), (std::vector<D3DFORMAT>{D3DFMT_D16, D3DFMT_D24X8, D3DFMT_D24S8,
                                                 D3DFMT_D24X4S4, D3DFMT_D32}));
  EXPECT_EQ(list(0, 0), (std::vector<D3DFORMAT>{D3DFMT_D16, D3DFMT_D15S1, D3DFMT_D24X8,
                                                D3DFMT_D24S8, D3DFMT_D24X4S4, D3DFMT_D32}));
  EXPECT_EQ(list(15, 1), (std::vector<D3DFORMAT>{D3DFMT_D15S1, D3DFMT_D24S8, D3DFMT_D24X4S4}));
  EXPECT_EQ(list(24, 8), (std::vector<D3DFORMAT>{D3DFMT_D24S8}));
  EXPECT_EQ(list(24, 5), (std::vector<D3DFORMAT>{D3DFMT_D24S8}));
  EXPECT_EQ(list(32, 1), (std::vector<D3DFORMAT>{}));
}

TEST(DeviceChoice, HalUnlessDisabledThenSoftwareThenReferenceWhenAllowed) {
  auto adapter = NewAdapter();
  adapter->deviceCount = 3;
  adapter->devices[0].deviceType = D3DDEVTYPE_HAL;
  adapter->devices[1].deviceType = D3DDEVTYPE_SW;
  adapter->devices[2].deviceType = D3DDEVTYPE_REF;
  EXPECT_EQ(ChooseDeviceRecord(*adapter, true, false), 0);
  adapter->disableHardware = 1;
  EXPECT_EQ(ChooseDeviceRecord(*adapter, true, false), 1);  // SW is not displaced by REF

  adapter->deviceCount = 2;
  adapter->devices[1].deviceType = D3DDEVTYPE_REF;
  EXPECT_EQ(ChooseDeviceRecord(*adapter, false, false), -1);
  EXPECT_EQ(ChooseDeviceRecord(*adapter, true, false), 1);

  // Windowed outputs only consider records that can draw into a window.
  adapter->disableHardware = 0;
  adapter->devices[0].canDrawWindowed = 0;
  adapter->devices[1].canDrawWindowed = 1;
  EXPECT_EQ(ChooseDeviceRecord(*adapter, true, true), 1);
  EXPECT_EQ(ChooseDeviceRecord(*adapter, false, true), -1);
}

TEST(FullScreenMode, SavedModeWinsOnlyWhileStillListed) {
  auto adapter = NewAdapter();
  adapter->desktopMode = Mode(1024, 768, D3DFMT_X8R8G8B8);
  DeviceTypeRecord& hal = adapter->devices[0];
  hal.deviceType = D3DDEVTYPE_HAL;
  SetModes(hal, {Entry(640, 480, D3DFMT_R5G6B5), Entry(800, 600, D3DFMT_X8R8G8B8),
                 Entry(1024, 768, D3DFMT_R5G6B5), Entry(1024, 768, D3DFMT_X8R8G8B8)});
  adapter->savedWidth = 800;
  adapter->savedHeight = 600;
  adapter->savedFormat = D3DFMT_X8R8G8B8;
  EXPECT_EQ(ChooseFullScreenMode(*adapter, hal), 1u);
  adapter->savedFormat = D3DFMT_R5G6B5;  // no longer listed: automatic choice
  EXPECT_EQ(ChooseFullScreenMode(*adapter, hal), 3u);
}

TEST(FullScreenMode, HalTakesTheDesktopSizeIn32BitsElseItsFirstFormatElseModeZero) {
  auto adapter = NewAdapter();
  adapter->desktopMode = Mode(1024, 768, D3DFMT_X8R8G8B8);
  DeviceTypeRecord& hal = adapter->devices[0];
  hal.deviceType = D3DDEVTYPE_HAL;
  SetModes(hal, {Entry(640, 480, D3DFMT_X8R8G8B8), Entry(1024, 768, D3DFMT_X1R5G5B5),
                 Entry(1024, 768, D3DFMT_R5G6B5), Entry(1024, 768, D3DFMT_A8R8G8B8)});
  EXPECT_EQ(ChooseFullScreenMode(*adapter, hal), 3u);
  hal.modeCount = 3;
  EXPECT_EQ(ChooseFullScreenMode(*adapter, hal), 1u);
  adapter->desktopMode = Mode(1280, 1024, D3DFMT_X8R8G8B8);
  EXPECT_EQ(ChooseFullScreenMode(*adapter, hal), 0u);
}

TEST(FullScreenMode, SoftwareTakesTheLowestModeNot400HighPreferring16Bit) {
  auto adapter = NewAdapter();
  DeviceTypeRecord& sw = adapter->devices[0];
  sw.deviceType = D3DDEVTYPE_SW;
  SetModes(sw, {Entry(640, 400, D3DFMT_R5G6B5), Entry(640, 480, D3DFMT_X8R8G8B8),
                Entry(640, 480, D3DFMT_R5G6B5), Entry(800, 480, D3DFMT_X8R8G8B8),
                Entry(800, 600, D3DFMT_R5G6B5)});
  EXPECT_EQ(ChooseFullScreenMode(*adapter, sw), 2u);
  SetModes(sw, {Entry(640, 400, D3DFMT_X8R8G8B8), Entry(720, 400, D3DFMT_R5G6B5)});
  EXPECT_EQ(ChooseFullScreenMode(*adapter, sw), 0u);
}

TEST(FallbackMode, Refused32BitTriesTheSameSizeIn16BitFirst) {
  const std::vector<DisplayModeEntry> modes = {
      Entry(640, 480, D3DFMT_R5G6B5),    Entry(800, 600, D3DFMT_R5G6B5),
      Entry(800, 600, D3DFMT_X8R8G8B8),  Entry(1024, 768, D3DFMT_R5G6B5),
      Entry(1024, 768, D3DFMT_X8R8G8B8), Entry(1280, 1024, D3DFMT_R5G6B5)};
  const uint32_t n = static_cast<uint32_t>(modes.size());
  EXPECT_EQ(ChooseFallbackModeIndex(modes.data(), n, 4), 3);
  // From a 16-bit mode: the largest smaller one, 32-bit preferred at equal size.
  EXPECT_EQ(ChooseFallbackModeIndex(modes.data(), n, 3), 2);
  EXPECT_EQ(ChooseFallbackModeIndex(modes.data(), n, 2), 1);
  EXPECT_EQ(ChooseFallbackModeIndex(modes.data(), n, 1), 0);
  EXPECT_EQ(ChooseFallbackModeIndex(modes.data(), n, 0), -1);
  EXPECT_EQ(ChooseFallbackModeIndex(modes.data(), n, 99), -1);
}

TEST(FallbackMode, EveryChainEnds) {
  const std::vector<DisplayModeEntry> modes = {
      Entry(640, 480, D3DFMT_X8R8G8B8),  Entry(640, 480, D3DFMT_R5G6B5),
      Entry(800, 600, D3DFMT_X8R8G8B8),  Entry(800, 600, D3DFMT_R5G6B5),
      Entry(1024, 768, D3DFMT_X8R8G8B8), Entry(1024, 768, D3DFMT_R5G6B5)};
  int current = 4;
  int steps = 0;
  std::vector<int> seen;
  while (current >= 0 && steps < 20) {
    seen.push_back(current);
    current = ChooseFallbackModeIndex(modes.data(), 6, static_cast<uint32_t>(current));
    ++steps;
  }
  EXPECT_EQ(seen, (std::vector<int>{4, 5, 2, 3, 0, 1}));
}

TEST(AdapterChoice, FirstHalMonitorElseLastSoftwareMonitor) {
  MonitorTable monitors;
  AdapterTable adapters;
  for (int32_t index : {-1, 2, 0, 1}) monitors.Append()->adapterIndex = index;
  for (int i = 0; i < 3; ++i) adapters.push_back(NewAdapter());
  EXPECT_EQ(PickBestAdapterIndex(monitors, adapters), -1);
  adapters[2]->softwareUsable = 1;
  adapters[1]->softwareUsable = 1;
  EXPECT_EQ(PickBestAdapterIndex(monitors, adapters), 1);
  adapters[0]->halUsable = 1;
  adapters[1]->halUsable = 1;
  EXPECT_EQ(PickBestAdapterIndex(monitors, adapters), 0);
  monitors[2].adapterIndex = 7;  // out of the table: skipped
  EXPECT_EQ(PickBestAdapterIndex(monitors, adapters), 1);
}

TEST(AdapterChoice, DisabledHardwareWithNothingElseLeavesTheMonitorBlack) {
  auto adapter = NewAdapter();
  adapter->disableHardware = 1;
  EXPECT_TRUE(MustLeaveBlack(*adapter, false));
  EXPECT_FALSE(MustLeaveBlack(*adapter, true));
  adapter->softwareUsable = 1;
  EXPECT_FALSE(MustLeaveBlack(*adapter, false));
  adapter->softwareUsable = 0;
  adapter->disableHardware = 0;
  EXPECT_FALSE(MustLeaveBlack(*adapter, false));
}

TEST(DeviceText, TypeBehaviourAndForHalTheAdapterDescription) {
  char text[90];
  FormatDeviceText(text, sizeof text, D3DDEVTYPE_HAL,
                   D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE, "Card");
  EXPECT_STREQ(text, "HAL (pure hw vp): Card");
  FormatDeviceText(text, sizeof text, D3DDEVTYPE_HAL, D3DCREATE_MIXED_VERTEXPROCESSING, "Card");
  EXPECT_STREQ(text, "HAL (mixed vp): Card");
  FormatDeviceText(text, sizeof text, D3DDEVTYPE_SW, D3DCREATE_HARDWARE_VERTEXPROCESSING, "Card");
  EXPECT_STREQ(text, "SW (simulated hw vp)");
  FormatDeviceText(text, sizeof text, D3DDEVTYPE_REF,
                   D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED, "Card");
  EXPECT_STREQ(text, "REF (sw vp)");
  const std::string longName(300, 'x');
  FormatDeviceText(text, sizeof text, D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                   longName.c_str());
  EXPECT_EQ(std::strlen(text), sizeof text - 1);
  EXPECT_EQ(std::string(text, 13), "HAL (sw vp): ");
}

TEST(FrameStats, RateModeBitsAndDepthSuffix) {
  char text[42];
  FormatFrameStats(text, sizeof text, 59.5f, Mode(1024, 768, D3DFMT_X8R8G8B8), true,
                   D3DFMT_D24X4S4);
  EXPECT_STREQ(text, "59.50 fps (1024x768x32) (D24X4S4)");
  FormatFrameStats(text, sizeof text, 1234.567f, Mode(800, 600, D3DFMT_A8R8G8B8), true,
                   D3DFMT_D16);
  EXPECT_STREQ(text, "1234.57 fps (800x600x16) (D16)");  // only X8R8G8B8 counts as 32
  FormatFrameStats(text, sizeof text, 30.0f, Mode(640, 480, D3DFMT_R5G6B5), false, D3DFMT_D16);
  EXPECT_STREQ(text, "30.00 fps (640x480x16)");
  FormatFrameStats(text, sizeof text, 30.0f, Mode(640, 480, D3DFMT_R5G6B5), true,
                   D3DFMT_UNKNOWN);
  EXPECT_STREQ(text, "30.00 fps (640x480x16)");
  // The widest text still ends inside the field.
  FormatFrameStats(text, sizeof text, 99999999.0f, Mode(65535, 65535, D3DFMT_X8R8G8B8), true,
                   D3DFMT_D24X4S4);
  EXPECT_EQ(std::strlen(text), sizeof text - 1);
}

TEST(FrameRate, FirstFrameMeasuresAtOnceThenOnlyAfterMoreThanASecond) {
  FrameRateCounter counter = {0, 0.0};
  float fps = -1.0f;
  EXPECT_TRUE(CountFrame(counter, 5000.0, &fps));
  EXPECT_EQ(counter.frames, 0u);
  EXPECT_FALSE(CountFrame(counter, 5000.5, &fps));
  EXPECT_FALSE(CountFrame(counter, 5001.0, &fps));  // exactly one second is not enough
  EXPECT_TRUE(CountFrame(counter, 5001.25, &fps));
  EXPECT_FLOAT_EQ(fps, 3.0f / 1.25f);
  EXPECT_DOUBLE_EQ(counter.lastUpdate, 5001.25);
}

TEST(ErrorBox, StartsCentredAndDriftsATenthAndATwentiethOfTheScreenPerSecond) {
  const BoxArea screen = {0, 0, 1024, 768};
  ErrorBox box = StartErrorBox(screen, false);
  EXPECT_FLOAT_EQ(box.x, 362.0f);
  EXPECT_FLOAT_EQ(box.y, 309.0f);
  EXPECT_FLOAT_EQ(box.width, 300.0f);
  EXPECT_FLOAT_EQ(box.height, 150.0f);
  EXPECT_FLOAT_EQ(box.velocityX, 102.4f);
  EXPECT_FLOAT_EQ(box.velocityY, 38.4f);

  BoxPixels before, after;
  EXPECT_TRUE(MoveErrorBox(box, screen, 1.0f, &before, &after));
  EXPECT_FLOAT_EQ(box.x, 464.4f);
  EXPECT_FLOAT_EQ(box.y, 347.4f);
  EXPECT_EQ(before.left, 362);
  EXPECT_EQ(before.right, 662);
  EXPECT_EQ(after.left, 464);
  EXPECT_EQ(after.bottom, 497);
  // Less than a pixel: nothing to repaint.
  EXPECT_FALSE(MoveErrorBox(box, screen, 0.001f, &before, &after));
}

TEST(ErrorBox, BouncesOffEveryEdgeAndStaysOnTheScreen) {
  const BoxArea screen = {0, 0, 1024, 768};
  ErrorBox box = StartErrorBox(screen, false);
  bool turnedX = false, turnedY = false;
  for (int step = 0; step < 2000; ++step) {
    MoveErrorBox(box, screen, 0.05f, nullptr, nullptr);
    turnedX |= box.velocityX < 0;
    turnedY |= box.velocityY < 0;
    ASSERT_GE(box.x, 0.0f);
    ASSERT_LE(box.x + box.width, 1024.0f);
    ASSERT_GE(box.y, 0.0f);
    ASSERT_LE(box.y + box.height, 768.0f);
  }
  EXPECT_TRUE(turnedX);
  EXPECT_TRUE(turnedY);
  EXPECT_FLOAT_EQ(std::abs(box.velocityX), 102.4f);

  // Turning at the right edge happens before the step that would cross it.
  box = {720.0f, 100.0f, 300.0f, 150.0f, 102.4f, 38.4f};
  MoveErrorBox(box, screen, 0.1f, nullptr, nullptr);
  EXPECT_FLOAT_EQ(box.velocityX, -102.4f);
  EXPECT_FLOAT_EQ(box.x, 720.0f - 10.24f);
}

TEST(ErrorBox, OnASecondMonitorTheBoxStaysInsideThatMonitor) {
  const BoxArea right = {1024, 0, 1824, 600};
  ErrorBox box = StartErrorBox(right, false);
  EXPECT_FLOAT_EQ(box.x, 1274.0f);
  EXPECT_FLOAT_EQ(box.y, 225.0f);
  EXPECT_FLOAT_EQ(box.velocityX, 80.0f);
  for (int step = 0; step < 400; ++step) {
    MoveErrorBox(box, right, 0.1f, nullptr, nullptr);
    ASSERT_GE(box.x, 1024.0f);
    ASSERT_LE(box.x + box.width, 1824.0f);
  }
}

TEST(ErrorBox, PreviewBoxFillsTheWindowAndStays) {
  const ErrorBox box = StartErrorBox({0, 0, 152, 112}, true);
  EXPECT_FLOAT_EQ(box.x, 0.0f);
  EXPECT_FLOAT_EQ(box.y, 0.0f);
  EXPECT_FLOAT_EQ(box.width, 152.0f);
  EXPECT_FLOAT_EQ(box.height, 112.0f);
  EXPECT_FLOAT_EQ(box.velocityX, 0.0f);
  EXPECT_FLOAT_EQ(box.velocityY, 0.0f);
}

}  // namespace

TEST(ErrorBox, GrowsWithTheMonitorsDpiAndStaysCentred) {
  const BoxArea screen = {0, 0, 2560, 1440};
  for (const auto& [dpi, width, height] : {std::tuple{96, 300.0f, 150.0f},
                                           {144, 450.0f, 225.0f}, {192, 600.0f, 300.0f}}) {
    const ErrorBox box = StartErrorBox(screen, false, dpi);
    EXPECT_FLOAT_EQ(box.width, width) << dpi;
    EXPECT_FLOAT_EQ(box.height, height) << dpi;
    EXPECT_FLOAT_EQ(box.x, (2560 - width) / 2) << dpi;
    EXPECT_FLOAT_EQ(box.velocityX, 256.0f) << dpi;  // a tenth of the screen at any scale
  }
}
