// The gradient bitmaps behind the pictures.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kGradientCount = 10;

// "l1.bmp" .. "l10.bmp"; the configuration dialog's background preview uses the same table.
extern const char GradientFiles[kGradientCount][256];

// installDir\data\grad\<GradientFiles[gradient]>; false (and out empty) for a gradient outside
// the table or a path that does not fit.
bool GradientFilePath(const char* installDir, int32_t gradient, char* out, size_t size);
