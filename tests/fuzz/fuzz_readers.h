// One case of each reader: feed a mutant, check that it loaded consistently or failed cleanly.
// Shared by the fuzz runs and the replay of saved regressions.
#pragma once

#include <string>
#include <vector>

#include "fuzz/compress_xfile.h"
#include "fuzz/fuzz_harness.h"

namespace fuzz {

// Header probe and decode (at 256 x 256 with the slideshow's colour key, or at the picture's
// own size), and every surface of a DDS file.
struct ImageStats {
  int decoded = 0;  // mutants that still decoded
};
CaseResult ImageCase(const Mutant& mutant, int index, ImageStats* stats);

// Recomputes the CRC of every whole chunk of a PNG file, so that mutants get past the CRC
// checks into the chunk and image data.
void FixPngChunkCrcs(std::string& bytes);

// The .x loader from a file, through DirectX File and the mesh building, on an in-memory
// device; then a draw and a release of the tree. Counts how compressed inputs fared.
struct XFileStats {
  int compressed = 0;         // inputs with a compressed header
  int refusedByFraming = 0;   // of those, refused before DirectX File saw them
  int loaded = 0;             // inputs of any kind that loaded without failure
};
CaseResult XFileCase(const Mutant& mutant, int index, XFileStats* stats);

// A theme file: every record it gives must survive a write and a read unchanged.
CaseResult ThemeCase(const Mutant& mutant, int index);

// A picture list file: every entry's texts end within their fields; a list without ^Z
// survives a save and a load unchanged.
CaseResult PictureListCase(const Mutant& mutant, int index);

// Seeds for the readers that have few real files: picture lists and themes made the way the
// program writes them, and compressed .x files made from the text and binary ones.
std::vector<SeedFile> MadePictureLists();
std::vector<SeedFile> MadeThemeFiles();
std::vector<SeedFile> CompressedCopies(const std::vector<SeedFile>& xfiles);

}  // namespace fuzz
