// How many texels a picture slot's texture needs on one output: enough that the picture is
// never magnified on screen, wherever the layouts put that slot.
#pragma once

#include <cstdint>

// The texture edge used wherever a picture stands at most this many pixels.
constexpr uint32_t kSmallestPictureEdge = 256;
constexpr uint32_t kLargestPictureEdge = 2048;

// The largest on-screen extent, in pixels, of slot `slot`'s picture over both layouts: the
// wider of the projected width and height of its square (a square picture is the largest),
// seen by the show's camera on a back buffer of the given size.
float SlotScreenExtent(int slot, uint32_t backBufferWidth, uint32_t backBufferHeight);

// The smallest power of two at least as large as that extent, never below
// kSmallestPictureEdge nor above the device's largest texture side or kLargestPictureEdge.
uint32_t SlotTextureEdge(int slot, uint32_t backBufferWidth, uint32_t backBufferHeight,
                         uint32_t maxTextureWidth, uint32_t maxTextureHeight);
