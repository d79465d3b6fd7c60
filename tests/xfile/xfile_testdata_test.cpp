// Real-world .x files: what the loader makes of each, and damaged compressed files.
#include <gtest/gtest.h>

#include <string>

#include "base/scoped_handle.h"
#include "base/xfile_guids.h"
#include "d3dx/xof_mesh_data.h"
#include "support/test_support.h"
#include "tests/xfile/recording_device.h"
#include "xfile/compressed_xfile.h"
#include "xfile/mesh_file.h"
#include "xfile/xfile_templates.h"

namespace {

std::string XFile(const std::string& name) { return testing_support::TestDataPath("xfile/" + name); }

struct Expected {
  const char* file;
  bool parses;
  int frames;
  int meshes;
  size_t vertices;
  size_t faces;
};

const Expected kFiles[] = {
    {"test_cube_text.x", true, 2, 1, 24, 12},
    {"test_cube_binary.x", true, 2, 1, 24, 12},
    {"test_cube_compressed.x", true, 2, 1, 24, 12},
    {"test.x", false, 0, 0, 0, 0},
    {"kwxport_test_cubewithvcolors.x", true, 1, 1, 24, 12},
    {"anim_test.x", false, 0, 0, 0, 0},
    {"BCN_Epileptic.X", true, 57, 3, 3014, 5126},
    {"Testwuson.X", true, 39, 1, 3205, 3732},
    {"fromtruespace_bin32.x", true, 1, 1, 4132, 6656},
    {"malformed_skinweights_oob.x", true, 2, 1, 24, 12},
    {"empty.x", false, 0, 0, 0, 0},
};

struct Totals {
  int frames = 0;
  int meshes = 0;
  size_t loadedFaces = 0;
};

void Walk(const FrameNode* node, Totals* totals) {
  for (; node != nullptr; node = node->nextSibling.get()) {
    ++totals->frames;
    if (node->mesh != nullptr) {
      ++totals->meshes;
      if (node->mesh->mesh != nullptr) totals->loadedFaces += node->mesh->mesh->GetNumFaces();
    }
    Walk(node->firstChild.get(), totals);
  }
}

// Source counts of every Mesh in the file, read independently of the loader.
struct SourceCounts {
  size_t vertices = 0;
  size_t faces = 0;
  size_t triangles = 0;
};

void CountSource(IDirectXFileData* data, SourceCounts* counts) {
  const GUID* type = nullptr;
  if (FAILED(data->GetType(&type))) return;
  if (IsEqualGUID(*type, TID_D3DRMMesh)) {
    DWORD size = 0;
    void* bytes = nullptr;
    meshgeo::MeshSource source;
    if (SUCCEEDED(data->GetData(nullptr, &size, &bytes)) &&
        xofdata::ParseMesh(bytes, size, &source)) {
      counts->vertices += source.positions.size();
      counts->faces += source.faces.counts.size();
      for (uint32_t n : source.faces.counts) counts->triangles += n >= 3 ? n - 2 : 0;
    }
  }
  if (!IsEqualGUID(*type, TID_D3DRMFrame)) return;
  IDirectXFileObject* child = nullptr;
  while (SUCCEEDED(data->GetNextObject(&child)) && child != nullptr) {
    IDirectXFileData* childData = nullptr;
    if (SUCCEEDED(
            child->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void**>(&childData)))) {
      CountSource(childData, counts);
      childData->Release();
    }
    child->Release();
    child = nullptr;
  }
}

SourceCounts ReadSourceCounts(const std::string& path) {
  SourceCounts counts;
  IDirectXFile* file = nullptr;
  if (FAILED(DirectXFileCreate(&file))) return counts;
  IDirectXFileEnumObject* enumerator = nullptr;
  if (SUCCEEDED(file->RegisterTemplates(const_cast<char*>(XFileTemplates),
                                        static_cast<DWORD>(XFileTemplatesSize))) &&
      SUCCEEDED(file->CreateEnumObject(const_cast<char*>(path.c_str()), DXFILELOAD_FROMFILE,
                                       &enumerator))) {
    IDirectXFileData* object = nullptr;
    while (SUCCEEDED(enumerator->GetNextDataObject(&object)) && object != nullptr) {
      CountSource(object, &counts);
      object->Release();
      object = nullptr;
    }
    enumerator->Release();
  }
  file->Release();
  return counts;
}

TEST(XFileTestData, EveryFileLoadsWithItsCountsOrFailsCleanly) {
  for (const Expected& expected : kFiles) {
    SCOPED_TRACE(expected.file);
    const std::string path = XFile(expected.file);
    RecordingDevice device;
    FrameNode root("root");
    HRESULT hr = LoadMeshFile(&root, &device, path.c_str());
    Totals totals;
    if (root.mesh != nullptr) ++totals.meshes;
    Walk(root.firstChild.get(), &totals);
    if (!expected.parses) {
      EXPECT_TRUE(FAILED(hr));
      EXPECT_EQ(0, totals.frames);
      continue;
    }
    ASSERT_EQ(S_OK, hr);
    EXPECT_EQ(expected.frames, totals.frames);
    EXPECT_EQ(expected.meshes, totals.meshes);
    SourceCounts source = ReadSourceCounts(path);
    EXPECT_EQ(expected.vertices, source.vertices);
    EXPECT_EQ(expected.faces, source.faces);
    // Every polygon arrives as triangles in the built meshes.
    EXPECT_EQ(source.triangles, totals.loadedFaces);
    EXPECT_GE(totals.loadedFaces, expected.faces);
    EXPECT_EQ(S_OK, RenderMeshFile(&root, &device, nullptr));
    ReleaseMeshFile(&root);
  }
}

TEST(XFileTestData, VertexColoursAndMissingTexturesOfAnExporterFile) {
  RecordingDevice device;
  FrameNode root("root");
  ASSERT_EQ(S_OK,
            LoadMeshFile(&root, &device, XFile("kwxport_test_cubewithvcolors.x").c_str()));
  const FrameNode* frame = root.firstChild.get();
  ASSERT_NE(nullptr, frame);
  ASSERT_NE(nullptr, frame->mesh);
  // The .tga files the materials name are not there: no texture, no failure.
  ASSERT_EQ(3u, frame->mesh->numMaterials);
  for (uint32_t i = 0; i < 3; ++i) EXPECT_EQ(nullptr, frame->mesh->textures[i]);
  ASSERT_NE(nullptr, frame->mesh->mesh);
  EXPECT_EQ(static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1),
            frame->mesh->mesh->GetFVF());
  ReleaseMeshFile(&root);
}

class DamagedCompressedFile : public testing::Test {
 protected:
  void SetUp() override {
    original = testing_support::ReadFileBytes(XFile("test_cube_compressed.x"));
    ASSERT_EQ(775u, original.size());
  }
  HRESULT LoadBytes(const std::string& bytes) {
    folder.Write("damaged.x", bytes);
    RecordingDevice device;
    FrameNode root("root");
    HRESULT hr = LoadMeshFile(&root, &device, folder.File("damaged.x").c_str());
    ReleaseMeshFile(&root);
    return hr;
  }
  std::string original;
  testing_support::TempFolder folder;
};

TEST_F(DamagedCompressedFile, TheSoundFileFramingIsAccepted) {
  EXPECT_TRUE(CompressedXFileFramingIsSound(reinterpret_cast<const uint8_t*>(original.data()),
                                            original.size()));
  EXPECT_EQ(S_OK, LoadBytes(original));
}

// Each of these crashed the process inside DirectX File before the framing check existed.
TEST_F(DamagedCompressedFile, BrokenFramingIsRefusedBeforeParsing) {
  for (int percent : {10, 25, 50, 75, 90, 99}) {
    SCOPED_TRACE(percent);
    EXPECT_EQ(E_FAIL, LoadBytes(original.substr(0, original.size() * percent / 100)));
  }
  EXPECT_EQ(E_FAIL, LoadBytes(original.substr(0, 30)));
  EXPECT_EQ(E_FAIL, LoadBytes(original + "garbage\n"));
  std::string random = original.substr(0, 16);
  uint32_t seed = 12345;
  for (int i = 0; i < 200; ++i) {
    seed = seed * 1103515245u + 12345u;
    random += static_cast<char>(seed >> 24);
  }
  EXPECT_EQ(E_FAIL, LoadBytes(random));
  EXPECT_TRUE(FAILED(LoadBytes(original.substr(0, 16))));
}

TEST_F(DamagedCompressedFile, OversizedFilesAreRefusedAndMissingOnesLeftToDirectXFile) {
  folder.Write("huge.x", original);
  const std::string huge = folder.File("huge.x");
  ScopedHandle file(
      CreateFileA(huge.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(kMaxCompressedXFile) + 1;
  ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()));
  file.Reset();
  EXPECT_EQ(E_FAIL, CheckXFileFraming(huge.c_str()));
  EXPECT_EQ(S_OK, CheckXFileFraming(folder.File("absent.x").c_str()));
}

TEST_F(DamagedCompressedFile, FramingRulesOnHandMadeBlocks) {
  auto block = [](uint16_t unpacked, uint16_t packed, bool signature) {
    std::string b;
    b += static_cast<char>(unpacked & 0xFF);
    b += static_cast<char>(unpacked >> 8);
    b += static_cast<char>(packed & 0xFF);
    b += static_cast<char>(packed >> 8);
    b += signature ? "CK" : "XX";
    b += std::string(packed - 2, '\x03');
    return b;
  };
  auto file = [&](uint32_t total, const std::string& blocks) {
    std::string f = "xof 0303bzip0032";
    for (int i = 0; i < 4; ++i) f += static_cast<char>((total >> (8 * i)) & 0xFF);
    return f + blocks;
  };
  auto sound = [](const std::string& bytes) {
    return CompressedXFileFramingIsSound(reinterpret_cast<const uint8_t*>(bytes.data()),
                                         bytes.size());
  };
  EXPECT_TRUE(sound(file(16 + 100 + 50, block(100, 10, true) + block(50, 7, true))));
  EXPECT_FALSE(sound(file(16 + 100 + 51, block(100, 10, true) + block(50, 7, true))));
  EXPECT_FALSE(sound(file(16 + 100, block(100, 10, false))));
  EXPECT_FALSE(sound(file(16 + 40000, block(40000, 10, true))));
  EXPECT_FALSE(sound(file(16, "")));
  const uint8_t textHeader[] = "xof 0303txt 0032";
  const uint8_t zipHeader[] = "xof 0303tzip0032";
  EXPECT_FALSE(IsCompressedXFileHeader(textHeader, 16));
  EXPECT_TRUE(IsCompressedXFileHeader(zipHeader, 16));
}

}  // namespace

namespace {

// Damage inside a binary file's data (counts, indices, names) must end in a clean failure or
// a tree whose meshes were built from checked data; the process must survive either way.
TEST(XFileTestData, DamagedBinaryFilesNeverCrashTheLoader) {
  const std::string original = testing_support::ReadFileBytes(XFile("test_cube_binary.x"));
  ASSERT_FALSE(original.empty());
  testing_support::TempFolder folder;
  int failed = 0, loaded = 0;
  for (size_t position = 16; position < original.size(); position += 7) {
    std::string damaged = original;
    damaged[position] = static_cast<char>(damaged[position] ^ 0x5A);
    folder.Write("damaged.x", damaged);
    RecordingDevice device;
    FrameNode root("root");
    HRESULT hr = LoadMeshFile(&root, &device, folder.File("damaged.x").c_str());
    if (SUCCEEDED(hr)) {
      ++loaded;
      RenderMeshFile(&root, &device, nullptr);
    } else {
      ++failed;
    }
    ReleaseMeshFile(&root);
  }
  EXPECT_GT(failed + loaded, 300);
}

}  // namespace
