// Reference decodes and picture makers for the image decoder and texture tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/image.h"
#include "support/test_support.h"

namespace decoder_test {

using testing_support::TestDataPath;
std::vector<uint8_t> ReadBytes(const std::string& path);
std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern);

// libjpeg's own decode at full size (with the file's own orientation ignored), as texels.
bool ReferenceJpeg(const std::vector<uint8_t>& bytes, imaging::Image& out);
// libpng's own high-level read: expanded, 16 bits stripped, grey made RGB, alpha filled.
bool ReferencePng(const std::vector<uint8_t>& bytes, imaging::Image& out);
// A plain reader of uncompressed BI_RGB bitmaps with a Windows header (1/4/8/24/32 bpp).
bool ReferenceBmp(const std::vector<uint8_t>& bytes, imaging::Image& out);

// Straightforward resampling: each output texel integrates the source area it covers on an
// axis that shrinks, and interpolates between the two nearest texels on an axis that grows.
imaging::Image ReferenceResize(const imaging::Image& source, uint32_t width, uint32_t height);

// Largest per-channel difference, and the mean one, between two same-sized images; with
// `margin`, texels that close to an edge are skipped.
int MaxChannelDifference(const imaging::Image& a, const imaging::Image& b, uint32_t margin = 0);
double MeanChannelDifference(const imaging::Image& a, const imaging::Image& b);

// A JPEG of `image` (alpha ignored) at `quality`; with `app1`, that APP1 payload is written first.
std::vector<uint8_t> EncodeJpeg(const imaging::Image& image, int quality,
                                const std::vector<uint8_t>* app1 = nullptr);

// An EXIF APP1 payload holding only IFD0's Orientation tag.
std::vector<uint8_t> ExifOrientationPayload(int orientation, bool bigEndian);

// An uncompressed 24-bit bottom-up BMP of `image`.
std::vector<uint8_t> EncodeBmp24(const imaging::Image& image);

}  // namespace decoder_test
