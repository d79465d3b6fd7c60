// Pictures whose size is legal but absurd for what is asked of them, on a real device.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "d3dx/d3dx8_tex.h"
#include "fuzz/fuzz_harness.h"
#include "support/real_device.h"
#include "support/safe_release.h"
#include "support/safe_release.h"

namespace fuzz {
namespace {

void PutLe(std::string& bytes, size_t at, uint32_t value, int width) {
  for (int i = 0; i < width; ++i) bytes[at + i] = char((value >> (8 * i)) & 0xFF);
}

// A 24-bit bottom-up BMP of width x height, all one colour.
std::string FlatBmp(uint32_t width, uint32_t height) {
  const uint32_t row = (width * 3 + 3) & ~3u;
  std::string bytes(54 + size_t(row) * height, '\x60');
  std::memset(&bytes[0], 0, 54);
  bytes[0] = 'B';
  bytes[1] = 'M';
  PutLe(bytes, 2, uint32_t(bytes.size()), 4);
  PutLe(bytes, 10, 54, 4);
  PutLe(bytes, 14, 40, 4);
  PutLe(bytes, 18, width, 4);
  PutLe(bytes, 22, height, 4);
  PutLe(bytes, 26, 1, 2);
  PutLe(bytes, 28, 24, 2);
  return bytes;
}

// Cube faces are square and as wide as the picture: a picture of one long row must not make
// six faces of its width squared.
TEST(HostileDevice, AOneRowPictureAsACubeMapStaysWithinTheBound) {
  testing_support::RealDevice device;
  if (!device.Create(64, 64)) GTEST_SKIP() << "no Direct3D device: " << device.error();
  const std::string bmp = FlatBmp(8192, 1);
  const std::string path = ScratchFolder() + "\\row.bmp";
  ASSERT_TRUE(WriteWholeFile(path, bmp));
  const Mutant mutant{bmp, "bmp", "an 8192 x 1 picture"};
  HRESULT hr = E_FAIL;
  D3DSURFACE_DESC face = {};
  const CaseResult result = RunOne("cube", mutant, CaseLimits{}, [&](const Mutant&, int) {
    IDirect3DCubeTexture8* cube = nullptr;
    hr = D3DXCreateCubeTextureFromFileA(device.get(), path.c_str(), &cube);
    if (cube != nullptr) cube->GetLevelDesc(0, &face);
    SafeRelease(cube);
    return CaseResult{};
  });
  EXPECT_TRUE(result.ok) << result.problem;
  ASSERT_EQ(hr, S_OK);
  // The largest power of two whose six faces stay within the texel limit of one picture.
  EXPECT_EQ(face.Width, 2048u);
  EXPECT_EQ(face.Height, 2048u);
}

}  // namespace
}  // namespace fuzz
