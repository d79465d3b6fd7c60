#include "fuzz/fuzz_readers.h"

#include <windows.h>

#include <zlib.h>

#include <cstdio>
#include <cstring>

#include "image/dds_reader.h"
#include "image/image_decode.h"
#include "show/picture_list.h"
#include "show/theme_file.h"
#include "tests/xfile/recording_device.h"
#include "xfile/compressed_xfile.h"
#include "xfile/mesh_file.h"

namespace fuzz {

namespace {

CaseResult Fail(const std::string& problem) { return CaseResult{false, problem}; }

std::string Hex(int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(uint32_t(value)));
  return text;
}

const uint8_t* Bytes(const std::string& text) {
  return reinterpret_cast<const uint8_t*>(text.data());
}

std::string CaseFile(const char* extension) {
  return ScratchFolder() + "\\case." + extension;
}

struct TreeCounts {
  int frames = 0;
  int meshes = 0;
};

// Iterative, so a long sibling chain cannot exhaust the stack here either.
bool WalkTree(const FrameNode* root, TreeCounts& counts, std::string& problem) {
  std::vector<const FrameNode*> pending{root};
  while (!pending.empty()) {
    const FrameNode* node = pending.back();
    pending.pop_back();
    if (node == nullptr) continue;
    if (node != root) ++counts.frames;
    if (std::memchr(node->name, '\0', sizeof node->name) == nullptr) {
      problem = "a frame name without its end";
      return false;
    }
    if (const MeshObject* mesh = node->mesh.get()) {
      ++counts.meshes;
      if (mesh->numMaterials > 0 && (mesh->materials == nullptr || mesh->textures == nullptr)) {
        problem = "materials counted but not allocated";
        return false;
      }
    }
    pending.push_back(node->nextSibling.get());
    pending.push_back(node->firstChild.get());
  }
  return true;
}

bool EntryTextsEnd(const PictureEntry& entry) {
  return std::memchr(entry.name, '\0', sizeof entry.name) != nullptr &&
         std::memchr(entry.path, '\0', sizeof entry.path) != nullptr;
}

}  // namespace

CaseResult ImageCase(const Mutant& mutant, int index, ImageStats* stats) {
  using namespace imaging;
  const uint8_t* data = Bytes(mutant.bytes);
  const size_t size = mutant.bytes.size();
  SourceInfo probed;
  const ImageResult probe = ProbeImage(data, size, probed);

  DecodeOptions options;
  if (index % 4 != 3) {  // the slideshow's request; every fourth case at the picture's size
    options.width = options.height = 256;
    options.colorKey = 0xFFF0F0F0;
  }
  Image decoded;
  SourceInfo info;
  const ImageResult decode = DecodeImage(data, size, options, decoded, info);
  if (decode >= 0) {
    if (probe < 0) return Fail("decoded, but the header probe failed with " + Hex(probe));
    if (info.width == 0 || info.height == 0) return Fail("decoded with an empty source size");
    if (probed.width != info.width || probed.height != info.height) {
      return Fail("probe and decode disagree on the size");
    }
    if (options.width != 0 && (decoded.width != 256 || decoded.height != 256)) {
      return Fail("decoded to another size than asked");
    }
    if (decoded.texels.size() != size_t(decoded.width) * decoded.height) {
      return Fail("texel count does not match the size");
    }
    if (stats != nullptr) ++stats->decoded;
  }
  if (DetectFormat(data, size) == DetectedFormat::Dds) {
    DdsFile file;
    if (ReadDds(data, size, file) >= 0) {
      for (const DdsSurface& surface : file.surfaces) {
        if (surface.data < data || surface.data + surface.size > data + size) {
          return Fail("a DDS surface outside the file");
        }
        Image level;
        if (DecodeDdsSurface(file, surface, level) >= 0 &&
            level.texels.size() != size_t(level.width) * level.height) {
          return Fail("DDS surface texel count does not match its size");
        }
      }
    }
  }
  return CaseResult{};
}

void FixPngChunkCrcs(std::string& bytes) {
  size_t at = 8;  // after the signature
  while (at + 12 <= bytes.size()) {
    const uint8_t* p = Bytes(bytes) + at;
    const uint32_t length = (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) |
                            (uint32_t(p[2]) << 8) | uint32_t(p[3]);
    if (length > bytes.size() - at - 12) return;
    const uint32_t crc = uint32_t(crc32(0, p + 4, uInt(length + 4)));
    for (int i = 0; i < 4; ++i) bytes[at + 8 + length + i] = char((crc >> (24 - 8 * i)) & 0xFF);
    at += 12 + length;
  }
}

CaseResult XFileCase(const Mutant& mutant, int, XFileStats* stats) {
  const std::string path = CaseFile("x");
  if (!WriteWholeFile(path, mutant.bytes)) return Fail("could not write the case file");
  const bool compressed = IsCompressedXFileHeader(Bytes(mutant.bytes), mutant.bytes.size());
  const bool framingSound = CheckXFileFraming(path.c_str()) == S_OK;
  RecordingDevice device;
  FrameNode root("root");
  const HRESULT hr = LoadMeshFile(&root, &device, path.c_str());
  if (stats != nullptr) {
    if (compressed) ++stats->compressed;
    if (compressed && !framingSound) ++stats->refusedByFraming;
    if (SUCCEEDED(hr)) ++stats->loaded;
  }
  if (compressed && !framingSound && SUCCEEDED(hr)) {
    return Fail("a compressed file with broken framing loaded");
  }
  TreeCounts counts;
  std::string problem;
  if (!WalkTree(&root, counts, problem)) return Fail(problem);
  RenderMeshFile(&root, &device, nullptr);
  ReleaseMeshFile(&root);
  if (root.firstChild != nullptr || root.mesh != nullptr) return Fail("release left a tree");
  return CaseResult{};
}

CaseResult ThemeCase(const Mutant& mutant, int) {
  const std::string path = CaseFile("thm");
  if (!WriteWholeFile(path, mutant.bytes)) return Fail("could not write the case file");
  std::vector<ThemeRecord> records;
  LoadThemeFile(nullptr, path.c_str(), kUserThemeFile, records);
  // At most one record per 511-character piece of a line.
  size_t pieces = 1 + mutant.bytes.size() / 511;
  for (char c : mutant.bytes) pieces += c == '\n';
  if (records.size() > pieces) return Fail("more records than lines");

  const std::string again = CaseFile("2.thm");
  if (!SaveThemeFile(nullptr, again.c_str(), kUserThemeFile, records)) return Fail("save failed");
  std::vector<ThemeRecord> reread;
  LoadThemeFile(nullptr, again.c_str(), kUserThemeFile, reread);
  if (reread.size() != records.size()) return Fail("saved themes read back to another count");
  for (size_t i = 0; i < records.size(); ++i) {
    if (std::memcmp(&records[i], &reread[i], sizeof(ThemeRecord)) != 0) {
      return Fail("theme " + std::to_string(i) + " changed in a save and load: " +
                  FormatThemeLine(records[i]) + " / " + FormatThemeLine(reread[i]));
    }
  }
  return CaseResult{};
}

CaseResult PictureListCase(const Mutant& mutant, int) {
  const std::string path = CaseFile("tsl");
  if (!WriteWholeFile(path, mutant.bytes)) return Fail("could not write the case file");
  std::vector<PictureEntry> list;
  LoadPictureList(nullptr, path.c_str(), list);
  size_t lines = 1;
  for (char c : mutant.bytes) lines += c == '\n';
  if (list.size() > lines / 2 + 1) return Fail("more entries than line pairs");
  bool hasEndOfText = false;
  for (const PictureEntry& entry : list) {
    if (!EntryTextsEnd(entry)) return Fail("an entry's text runs past its field");
    hasEndOfText = hasEndOfText || std::strchr(entry.name, '\x1a') != nullptr ||
                   std::strchr(entry.path, '\x1a') != nullptr;
  }
  // ^Z ends a file read in text mode, so a list holding one cannot come back whole.
  if (hasEndOfText) return CaseResult{};
  const std::vector<PictureEntry> loaded = list;
  const std::string again = CaseFile("2.tsl");
  if (!SavePictureList(nullptr, again.c_str(), list)) return Fail("save failed");
  list.clear();
  LoadPictureList(nullptr, again.c_str(), list);
  if (list.size() != loaded.size()) return Fail("saved list read back to another count");
  for (size_t i = 0; i < loaded.size(); ++i) {
    if (std::strcmp(loaded[i].name, list[i].name) != 0 ||
        std::strcmp(loaded[i].path, list[i].path) != 0) {
      return Fail("entry " + std::to_string(i) + " changed in a save and load");
    }
  }
  return CaseResult{};
}

std::vector<SeedFile> MadePictureLists() {
  std::string defaults;
  for (int n = 1; n <= kDefaultPictureCount; ++n) {
    defaults += "defpic" + std::to_string(n) + "\nC:\\Program Files\\Korrin Software\\Solvane 7.0"
                "\\data\\defpics\\defpic" + std::to_string(n) + ".jpg\n";
  }
  std::string mixed =
      "beach.jpg\nC:\\Photos\\beach.jpg\n\nC:\\Photos\\no name.bmp\n"
      "  blanks kept  \n\\\\server\\share\\picture.jpg\n";
  mixed += std::string(300, 'n') + "\n" + std::string(600, 'p') + "\nlast name only\n";
  std::string crlf;
  for (char c : defaults) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  return {{"made:defaults.tsl", defaults}, {"made:mixed.tsl", mixed}, {"made:crlf.tsl", crlf}};
}

std::vector<SeedFile> MadeThemeFiles() {
  std::string lines = FormatThemeLine(NewUserTheme()) + "\n";
  ThemeRecord odd = NewUserTheme();
  odd.backGndColor = 0x00123456;
  odd.backGndRgb[0] = 0x12;
  odd.backGndRgb[1] = 0x34;
  odd.backGndRgb[2] = 0x56;
  odd.gradient = 9;
  odd.invertPicture = 1;
  odd.renderReflection = 0;
  lines += FormatThemeLine(odd) + "\n";
  odd.gradient = -2147483647 - 1;
  odd.object3DIndex = 2147483647;
  lines += FormatThemeLine(odd) + "\n";
  const std::string spaced = "{ 0x1 ,{0x2,0x3 , 0x4},5,6,7,0x8,{0x9,0xa,0xb},12,13}\n\n{}\n";
  return {{"made:user.thm", lines}, {"made:spaced.thm", spaced}};
}

std::vector<SeedFile> CompressedCopies(const std::vector<SeedFile>& xfiles) {
  std::vector<SeedFile> copies;
  for (const SeedFile& file : xfiles) {
    // Small and middle-sized models only: the compressed copies of the large ones parse as
    // slowly as the originals.
    if (file.bytes.size() > (128u << 10)) continue;
    std::string packed = CompressXFile(file.bytes);
    if (!packed.empty()) copies.push_back({file.path + " (compressed)", packed});
  }
  return copies;
}

}  // namespace fuzz
