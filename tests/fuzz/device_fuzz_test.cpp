// Mutants through the real texture creation on a Direct3D device: a quarter of each picture
// reader's count as slideshow textures (from a file, 256 x 256 with the colour key) and as
// textures at the file's own size with a full mip chain (from memory), and the full count
// through cube-texture loading, which the scene uses for its environment map.
#include <gtest/gtest.h>

#include <cstdio>

#include "d3dx/d3dx8_tex.h"
#include "fuzz/fuzz_harness.h"
#include "support/real_device.h"
#include "support/safe_release.h"

namespace fuzz {
namespace {

CaseResult Fail(const std::string& problem) { return CaseResult{false, problem}; }

struct DeviceStats {
  int created = 0;
};

// What every load keeps to: a failure leaves no texture, a success gives one with a level 0
// (described in desc).
template <class Texture>
CaseResult CheckLoad(HRESULT hr, Texture*& texture, const std::string& kind, DeviceStats& stats,
                     D3DSURFACE_DESC& desc) {
  if (FAILED(hr)) {
    return texture != nullptr ? Fail("a failed load returned a " + kind) : CaseResult{};
  }
  if (texture == nullptr) return Fail("success without a " + kind);
  ++stats.created;
  const bool described = SUCCEEDED(texture->GetLevelDesc(0, &desc));
  SafeRelease(texture);
  return described ? CaseResult{} : Fail("the " + kind + " has no level 0");
}

// The slideshow's call (from a file) for even cases, the file's own size and a full chain
// (from memory) for odd ones.
CaseResult TextureCase(IDirect3DDevice8* device, const Mutant& mutant, int index,
                       DeviceStats& stats) {
  IDirect3DTexture8* texture = nullptr;
  D3DXIMAGE_INFO info = {};
  HRESULT hr;
  if (index % 2 == 0) {
    const std::string path = ScratchFolder() + "\\picture." + mutant.extension;
    if (!WriteWholeFile(path, mutant.bytes)) return Fail("could not write the case file");
    hr = D3DXCreateTextureFromFileExA(device, path.c_str(), 256, 256, 1, 0, D3DFMT_UNKNOWN,
                                      D3DPOOL_MANAGED, D3DX_FILTER_LINEAR, D3DX_FILTER_LINEAR,
                                      0xFFF0F0F0, &info, nullptr, &texture);
  } else {
    hr = D3DXCreateTextureFromFileInMemoryEx(
        device, mutant.bytes.data(), UINT(mutant.bytes.size()), D3DX_DEFAULT, D3DX_DEFAULT,
        D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, &info,
        nullptr, &texture);
  }
  D3DSURFACE_DESC desc = {};
  const CaseResult loaded = CheckLoad(hr, texture, "texture", stats, desc);
  if (!loaded.ok || FAILED(hr)) return loaded;
  if (info.Width == 0 || info.Height == 0) return Fail("success with an empty source size");
  if (index % 2 == 0 && (desc.Width != 256 || desc.Height != 256)) {
    return Fail("a slideshow texture of another size than 256 x 256");
  }
  return CaseResult{};
}

CaseResult CubeCase(IDirect3DDevice8* device, const Mutant& mutant, int index,
                    DeviceStats& stats) {
  IDirect3DCubeTexture8* cube = nullptr;
  HRESULT hr;
  if (index % 2 == 0) {  // the scene's call for env.dds
    const std::string path = ScratchFolder() + "\\cube." + mutant.extension;
    if (!WriteWholeFile(path, mutant.bytes)) return Fail("could not write the case file");
    hr = D3DXCreateCubeTextureFromFileA(device, path.c_str(), &cube);
  } else {
    D3DXIMAGE_INFO info = {};
    hr = D3DXCreateCubeTextureFromFileInMemoryEx(
        device, mutant.bytes.data(), UINT(mutant.bytes.size()), 64, 1, 0, D3DFMT_UNKNOWN,
        D3DPOOL_MANAGED, D3DX_FILTER_LINEAR, D3DX_FILTER_LINEAR, 0xFF000000, &info, nullptr,
        &cube);
  }
  D3DSURFACE_DESC desc = {};
  const CaseResult loaded = CheckLoad(hr, cube, "cube texture", stats, desc);
  if (!loaded.ok || FAILED(hr)) return loaded;
  if (desc.Width != desc.Height) return Fail("a cube face that is not square");
  return CaseResult{};
}

class DeviceFuzz : public testing::Test {
 protected:
  void SetUp() override {
    if (!device_.Create(64, 64)) GTEST_SKIP() << "no Direct3D device: " << device_.error();
  }
  void FuzzTextures(const char* reader, const std::vector<std::string>& extensions) {
    DeviceStats stats;
    IDirect3DDevice8* device = device_.get();
    const int count = MutantCount() / 4;
    RunMutants(reader, Seeds(extensions), count, CaseLimits{},
               [device, &stats](const Mutant& mutant, int index) {
                 return TextureCase(device, mutant, index, stats);
               });
    std::printf("[ fuzz     ] %s: %d of %d mutants made a texture\n", reader, stats.created,
                count);
  }
  testing_support::RealDevice device_;
};

TEST_F(DeviceFuzz, JpegTextures) { FuzzTextures("jpeg-texture", {"jpg", "jpeg"}); }
TEST_F(DeviceFuzz, PngTextures) { FuzzTextures("png-texture", {"png"}); }
TEST_F(DeviceFuzz, BmpTextures) { FuzzTextures("bmp-texture", {"bmp"}); }
TEST_F(DeviceFuzz, DdsTextures) { FuzzTextures("dds-texture", {"dds"}); }
TEST_F(DeviceFuzz, TgaTextures) { FuzzTextures("tga-texture", {"tga"}); }

TEST_F(DeviceFuzz, CubeTextures) {
  // Every DDS (cube maps and plain ones) and a picture of each other kind: any picture fills
  // all six faces.
  std::vector<SeedFile> seeds = Seeds({"dds"});
  for (const char* extension : {"jpg", "png", "bmp", "tga"}) {
    std::vector<SeedFile> pictures = Seeds({extension});
    if (!pictures.empty()) seeds.push_back(pictures.front());
  }
  DeviceStats stats;
  IDirect3DDevice8* device = device_.get();
  const int count = MutantCount();
  RunMutants("cube", seeds, count, CaseLimits{}, [device, &stats](const Mutant& mutant, int index) {
    return CubeCase(device, mutant, index, stats);
  });
  std::printf("[ fuzz     ] cube: %d of %d mutants made a cube texture\n", stats.created, count);
  EXPECT_GT(stats.created, 0);
}

}  // namespace
}  // namespace fuzz
