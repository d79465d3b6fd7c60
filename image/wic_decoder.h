// Pictures in the formats we have no decoder of our own for (GIF, TIFF, and whatever codecs
// the system has installed), read through the Windows Imaging Component, and the one entry
// that tries our decoders first. Windows only: the native fuzz build leaves this file out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "image/image.h"

namespace imaging {

// The first frame's upright size. A format no installed codec reads fails with
// WINCODEC_ERR_COMPONENTNOTFOUND.
ImageResult ReadSystemPictureInfo(const uint8_t* data, size_t size, SourceInfo& info);

// The first frame as options ask, upright: the system's scaler takes it down towards the size
// wanted, the area filter does the rest. COM is initialised for the call where the thread has
// not done so already.
ImageResult DecodeSystemPicture(const uint8_t* data, size_t size, const DecodeOptions& options,
                                Image& decoded, SourceInfo& info);

// Our decoders for every file they recognise by its first bytes, the system's codecs for the
// rest; JPEG and PNG therefore never reach the system's.
ImageResult ProbeAnyPicture(const uint8_t* data, size_t size, SourceInfo& info);
ImageResult DecodeAnyPicture(const uint8_t* data, size_t size, const DecodeOptions& options,
                             Image& decoded, SourceInfo& info);

// One family of picture files: its name and extensions ("*.gif", lower case).
struct PictureFamily {
  std::string name;
  std::vector<std::string> patterns;
};

// Ours first (JPEG, PNG, BMP, WebP, TGA, DDS), then each codec the system has installed, as it
// names itself, without the extensions ours already cover.
std::vector<PictureFamily> PictureFamilies();

}  // namespace imaging
