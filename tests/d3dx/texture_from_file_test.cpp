// Textures made on a real device (Wine's Direct3D 8 here): texels, levels, formats, image info
// and failures, through the public entry points the program calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "image/bmp_decoder.h"
#include "d3dx/d3dx8.h"
#include "image/image_decode.h"
#include "image/pixel_formats.h"
#include "image/texture_plan.h"
#include "image/decoder_test_support.h"
#include "support/real_device.h"
#include "support/safe_release.h"
#include "support/test_support.h"

using namespace imaging;
using namespace decoder_test;

namespace {

// Texels of a level as 0xAARRGGBB (X8R8G8B8 as opaque); an empty image for other formats.
Image ReadSurface(IDirect3DSurface8* surface) {
  Image image;
  D3DSURFACE_DESC desc;
  D3DLOCKED_RECT locked;
  if (surface == nullptr || FAILED(surface->GetDesc(&desc))) return image;
  MaskLayout layout;
  uint32_t bytes = 4;
  switch (desc.Format) {
    case D3DFMT_A8R8G8B8: layout = MakeMaskLayout(0xFF0000, 0xFF00, 0xFF, 0xFF000000u); break;
    case D3DFMT_X8R8G8B8: layout = MakeMaskLayout(0xFF0000, 0xFF00, 0xFF, 0); break;
    case D3DFMT_R5G6B5: layout = MakeMaskLayout(0xF800, 0x07E0, 0x1F, 0); bytes = 2; break;
    case D3DFMT_X1R5G5B5: layout = MakeMaskLayout(0x7C00, 0x03E0, 0x1F, 0); bytes = 2; break;
    case D3DFMT_A1R5G5B5: layout = MakeMaskLayout(0x7C00, 0x03E0, 0x1F, 0x8000); bytes = 2; break;
    case D3DFMT_A4R4G4B4: layout = MakeMaskLayout(0xF00, 0xF0, 0xF, 0xF000); bytes = 2; break;
    default: return image;
  }
  if (FAILED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY))) return image;
  AllocateImage(image, desc.Width, desc.Height);
  for (uint32_t y = 0; y < desc.Height; ++y) {
    const auto* row = static_cast<const uint8_t*>(locked.pBits) + size_t(y) * locked.Pitch;
    for (uint32_t x = 0; x < desc.Width; ++x) {
      uint32_t v = 0;
      for (uint32_t b = 0; b < bytes; ++b) v |= uint32_t(row[x * bytes + b]) << (8 * b);
      image.Row(y)[x] = UnpackMasked(v, layout);
    }
  }
  surface->UnlockRect();
  return image;
}

Image ReadLevel(IDirect3DTexture8* texture, UINT level) {
  Microsoft::WRL::ComPtr<IDirect3DSurface8> surface;
  texture->GetSurfaceLevel(level, &surface);
  return ReadSurface(surface.Get());
}

Image ReadCubeLevel(IDirect3DCubeTexture8* cube, D3DCUBEMAP_FACES face, UINT level) {
  Microsoft::WRL::ComPtr<IDirect3DSurface8> surface;
  cube->GetCubeMapSurface(face, level, &surface);
  return ReadSurface(surface.Get());
}

class TextureFromFile : public testing::Test {
 protected:
  void SetUp() override {
    if (!device_.Create(64, 64)) GTEST_SKIP() << "no Direct3D device: " << device_.error();
  }

  // The slideshow's call: 256 x 256, one level, linear filters.
  HRESULT LoadAsSlide(const std::string& path, D3DCOLOR key, D3DXIMAGE_INFO* info,
                      IDirect3DTexture8** texture) {
    return D3DXCreateTextureFromFileExA(device_.get(), path.c_str(), 256, 256, 1, 0,
                                        D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_FILTER_LINEAR,
                                        D3DX_FILTER_LINEAR, key, info, nullptr, texture);
  }

  HRESULT LoadBytes(const std::vector<uint8_t>& bytes, UINT w, UINT h, UINT levels, DWORD filter,
                    D3DCOLOR key, IDirect3DTexture8** texture, D3DXIMAGE_INFO* info = nullptr) {
    return D3DXCreateTextureFromFileInMemoryEx(device_.get(), bytes.data(), UINT(bytes.size()), w,
                                               h, levels, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                               filter, D3DX_FILTER_BOX, key, info, nullptr,
                                               texture);
  }

  // Loads as a slide and compares with the reference picture resized the plain way. Texels
  // near the edges are skipped: enlargement wraps there, as D3DX does.
  void ExpectSlideMatches(const std::string& path, const Image& reference, int tolerance) {
    SCOPED_TRACE(path);
    IDirect3DTexture8* texture = nullptr;
    D3DXIMAGE_INFO info;
    ASSERT_EQ(LoadAsSlide(path, 0, &info, &texture), S_OK);
    EXPECT_EQ(texture->GetLevelCount(), 1u);
    EXPECT_EQ(info.Width, reference.width);
    EXPECT_EQ(info.Height, reference.height);
    const Image texels = ReadLevel(texture, 0);
    SafeRelease(texture);
    ASSERT_EQ(texels.width, 256u);
    const uint32_t margin = 256 / (2 * std::min(reference.width, reference.height)) + 1;
    EXPECT_LE(MaxChannelDifference(texels, ReferenceResize(reference, 256, 256), margin),
              tolerance);
  }

  testing_support::RealDevice device_;
};

Image Solid(uint32_t w, uint32_t h, uint32_t texel) {
  Image image;
  AllocateImage(image, w, h);
  std::fill(image.texels.begin(), image.texels.end(), texel);
  return image;
}

TEST_F(TextureFromFile, EveryGoodPngMatchesLibpngAfterScaling) {
  for (const std::string& name : ListFiles("png", "*.png")) {
    if (name[0] == 'x') continue;
    Image reference;
    ASSERT_TRUE(ReferencePng(ReadBytes(TestDataPath("png/" + name)), reference));
    ExpectSlideMatches(TestDataPath("png/" + name), reference, 2);
  }
}

TEST_F(TextureFromFile, EveryGoodJpegMatchesLibjpegAfterScaling) {
  for (const char* name : {"testorig.jpg", "testimgint.jpg", "testimgfst100.jpg", "testimgp.jpg",
                           "testimgari.jpg", "testimggray.jpg", "testimgcrop.jpg", "hopper.jpg"}) {
    const std::string path = TestDataPath(std::string("jpeg/") + name);
    Image reference;
    ASSERT_TRUE(ReferenceJpeg(ReadBytes(path), reference));
    ExpectSlideMatches(path, reference, 2);
  }
}

TEST_F(TextureFromFile, EveryGoodBmpMatchesAPlainReaderAfterScaling) {
  for (const std::string& name : ListFiles("bmp/g", "*.bmp")) {
    const auto bytes = ReadBytes(TestDataPath("bmp/g/" + name));
    Image reference;
    if (!ReferenceBmp(bytes, reference)) {
      // Encoded variants: checked against their plain twins in the decoder tests.
      SourceInfo info;
      ASSERT_EQ(DecodeBmp(bytes.data(), bytes.size(), reference, info), kImageOk) << name;
    }
    ExpectSlideMatches(TestDataPath("bmp/g/" + name), reference, 2);
  }
}

TEST_F(TextureFromFile, BadFilesFailWithNoTextureAndZeroInfo) {
  std::vector<std::string> bad = {"jpeg/truncated_jpeg.jpg", "jpeg/testorig12.jpg",
                                  "png/missing-file.png", "tga/cross_scan_line_truncated.tga",
                                  "dds/unimplemented_pixel_format.dds"};
  for (const std::string& name : ListFiles("png", "x*.png")) {
    if (name != "xhdn0g08.png" && name != "xcsn0g01.png") bad.push_back("png/" + name);
  }
  for (const char* name : {"badbitcount.bmp", "badheadersize.bmp", "badplanes.bmp", "badrle.bmp",
                           "badrle4.bmp", "badwidth.bmp", "reallybig.bmp", "shortfile.bmp"}) {
    bad.push_back(std::string("bmp/b/") + name);
  }
  for (const std::string& name : bad) {
    SCOPED_TRACE(name);
    IDirect3DTexture8* texture = reinterpret_cast<IDirect3DTexture8*>(1);
    D3DXIMAGE_INFO info;
    std::memset(&info, 0xAB, sizeof info);
    EXPECT_TRUE(FAILED(LoadAsSlide(TestDataPath(name), 0xFFF0F0F0, &info, &texture)));
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(info.Width, 0u);
    EXPECT_EQ(info.Height, 0u);
  }
  IDirect3DTexture8* texture = nullptr;
  EXPECT_EQ(D3DXCreateTextureFromFileA(device_.get(), nullptr, &texture), D3DERR_INVALIDCALL);
  EXPECT_EQ(D3DXCreateTextureFromFileA(nullptr, "x.bmp", &texture), D3DERR_INVALIDCALL);
}

TEST_F(TextureFromFile, ImageInfoDescribesTheSourceFile) {
  IDirect3DTexture8* texture = nullptr;
  D3DXIMAGE_INFO info;
  ASSERT_EQ(LoadAsSlide(TestDataPath("jpeg/testorig.jpg"), 0xFFF0F0F0, &info, &texture), S_OK);
  SafeRelease(texture);
  EXPECT_EQ(info.Width, 227u);
  EXPECT_EQ(info.Height, 149u);
  EXPECT_EQ(info.Depth, 1u);
  EXPECT_EQ(info.MipLevels, 1u);
  EXPECT_EQ(info.Format, D3DFMT_R8G8B8);
  EXPECT_EQ(info.ResourceType, D3DRTYPE_TEXTURE);
  EXPECT_EQ(info.ImageFileFormat, D3DXIFF_JPG);
  ASSERT_EQ(LoadAsSlide(TestDataPath("bmp/g/pal8.bmp"), 0, &info, &texture), S_OK);
  SafeRelease(texture);
  EXPECT_EQ(info.ImageFileFormat, D3DXIFF_BMP);
  EXPECT_EQ(info.Format, D3DFMT_P8);
  EXPECT_EQ(info.Width, 127u);
  // A portrait phone photo, stored sideways with orientation 6, is reported upright.
  const auto app1 = ExifOrientationPayload(6, false);
  const auto jpeg = EncodeJpeg(Solid(64, 16, 0xFF336699u), 90, &app1);
  ASSERT_EQ(LoadBytes(jpeg, 256, 256, 1, D3DX_FILTER_LINEAR, 0, &texture, &info), S_OK);
  SafeRelease(texture);
  EXPECT_EQ(info.Width, 16u);
  EXPECT_EQ(info.Height, 64u);
}

TEST_F(TextureFromFile, LargeJpegIsReducedLikeAFullDecodeThenAreaFilter) {
  Image photo;
  AllocateImage(photo, 2000, 1400);
  for (uint32_t y = 0; y < photo.height; ++y) {
    for (uint32_t x = 0; x < photo.width; ++x) {
      photo.Row(y)[x] = MakeTexel((x / 9) % 256, (y / 6) % 256, ((x ^ y) & 1) ? 255 : 0);
    }
  }
  const auto jpeg = EncodeJpeg(photo, 90);
  Image full;
  ASSERT_TRUE(ReferenceJpeg(jpeg, full));
  IDirect3DTexture8* texture = nullptr;
  D3DXIMAGE_INFO info;
  ASSERT_EQ(LoadBytes(jpeg, 256, 256, 1, D3DX_FILTER_LINEAR, 0, &texture, &info), S_OK);
  const Image texels = ReadLevel(texture, 0);
  SafeRelease(texture);
  EXPECT_EQ(info.Width, 2000u);
  // The one-texel blue stripes average to half blue instead of aliasing.
  EXPECT_LT(MeanChannelDifference(texels, ReferenceResize(full, 256, 256)), 2.0);
}

TEST_F(TextureFromFile, SidewaysPhotoStandsUprightInTheTexture) {
  // Stored 64x16, left half red and right half blue, with orientation 6 (turn clockwise): the
  // upright picture has red on top.
  Image stored = Solid(64, 16, MakeTexel(255, 0, 0));
  for (uint32_t y = 0; y < 16; ++y) std::fill(stored.Row(y) + 32, stored.Row(y) + 64, MakeTexel(0, 0, 255));
  const auto app1 = ExifOrientationPayload(6, true);
  const auto jpeg = EncodeJpeg(stored, 95, &app1);
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(LoadBytes(jpeg, 256, 256, 1, D3DX_FILTER_LINEAR, 0, &texture), S_OK);
  const Image texels = ReadLevel(texture, 0);
  SafeRelease(texture);
  ASSERT_EQ(texels.width, 256u);
  EXPECT_GT((texels.At(128, 20) >> 16) & 0xFF, 200u);
  EXPECT_LT(texels.At(128, 20) & 0xFF, 60u);
  EXPECT_GT(texels.At(128, 236) & 0xFF, 200u);
  EXPECT_LT((texels.At(128, 236) >> 16) & 0xFF, 60u);
}

TEST_F(TextureFromFile, ColourKeyTexelsBecomeTransparentBlackInAnAlphaFormat) {
  Image picture = Solid(8, 8, MakeTexel(10, 120, 200));
  picture.Row(2)[3] = MakeTexel(240, 240, 240);
  picture.Row(5)[6] = MakeTexel(240, 240, 241);  // one step off: not keyed
  const auto bmp = EncodeBmp24(picture);
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(LoadBytes(bmp, D3DX_DEFAULT, D3DX_DEFAULT, 1, D3DX_FILTER_POINT, 0xFFF0F0F0, &texture),
            S_OK);
  D3DSURFACE_DESC desc;
  texture->GetLevelDesc(0, &desc);
  EXPECT_TRUE(desc.Format == D3DFMT_A8R8G8B8 || desc.Format == D3DFMT_A4R4G4B4 ||
              desc.Format == D3DFMT_A1R5G5B5);
  Image texels = ReadLevel(texture, 0);
  SafeRelease(texture);
  ASSERT_EQ(texels.width, 8u);
  EXPECT_EQ(texels.At(3, 2), 0u);
  EXPECT_EQ(texels.At(6, 5), MakeTexel(240, 240, 241));
  EXPECT_EQ(texels.At(0, 0), MakeTexel(10, 120, 200));
  // Without a key the same picture needs no alpha, and the texel keeps its colour.
  ASSERT_EQ(LoadBytes(bmp, D3DX_DEFAULT, D3DX_DEFAULT, 1, D3DX_FILTER_POINT, 0, &texture), S_OK);
  texture->GetLevelDesc(0, &desc);
  EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
  texels = ReadLevel(texture, 0);
  SafeRelease(texture);
  EXPECT_EQ(texels.At(3, 2), MakeTexel(240, 240, 240));
  // A key with another alpha does not match opaque texels.
  ASSERT_EQ(LoadBytes(bmp, D3DX_DEFAULT, D3DX_DEFAULT, 1, D3DX_FILTER_POINT, 0x80F0F0F0, &texture),
            S_OK);
  texels = ReadLevel(texture, 0);
  SafeRelease(texture);
  EXPECT_EQ(texels.At(3, 2), MakeTexel(240, 240, 240));
}

TEST_F(TextureFromFile, DefaultMipLevelsMakeAFullFilteredChain) {
  // Left half red, right half blue: every level keeps the split, the last 1x1 level is the mean.
  Image picture = Solid(256, 256, MakeTexel(255, 0, 0));
  for (uint32_t y = 0; y < 256; ++y) std::fill(picture.Row(y) + 128, picture.Row(y) + 256, MakeTexel(0, 0, 255));
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(
                device_.get(), EncodeBmp24(picture).data(), UINT(EncodeBmp24(picture).size()), 256,
                256, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_FILTER_LINEAR,
                D3DX_FILTER_LINEAR, 0xFFF0F0F0, nullptr, nullptr, &texture),
            S_OK);
  ASSERT_EQ(texture->GetLevelCount(), 9u);
  for (UINT level = 1; level < 8; ++level) {
    const Image texels = ReadLevel(texture, level);
    ASSERT_EQ(texels.width, 256u >> level);
    EXPECT_EQ(texels.At(0, 0), MakeTexel(255, 0, 0)) << level;
    EXPECT_EQ(texels.At(texels.width - 1, texels.height - 1), MakeTexel(0, 0, 255)) << level;
  }
  const Image last = ReadLevel(texture, 8);
  SafeRelease(texture);
  ASSERT_EQ(last.width, 1u);
  EXPECT_NEAR(int((last.At(0, 0) >> 16) & 0xFF), 128, 1);
  EXPECT_NEAR(int(last.At(0, 0) & 0xFF), 128, 1);
}

TEST_F(TextureFromFile, DefaultSizeIsTheFilesAsTheDeviceAllowsIt) {
  D3DCAPS8 caps;
  device_.get()->GetDeviceCaps(&caps);
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(D3DXCreateTextureFromFileA(device_.get(), TestDataPath("jpeg/testorig.jpg").c_str(),
                                       &texture),
            S_OK);
  D3DSURFACE_DESC desc;
  texture->GetLevelDesc(0, &desc);
  const bool pow2 = (caps.TextureCaps & D3DPTEXTURECAPS_POW2) != 0;
  EXPECT_EQ(desc.Width, pow2 ? 256u : 227u);
  EXPECT_EQ(desc.Height, pow2 ? 256u : 149u);
  EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
  EXPECT_EQ(texture->GetLevelCount(), FullMipChainLength(desc.Width, desc.Height));
  SafeRelease(texture);
}

TEST_F(TextureFromFile, DefaultPoolTexturesAreFilledThroughASystemCopy) {
  IDirect3DTexture8* texture = nullptr;
  const auto bmp = EncodeBmp24(Solid(16, 16, MakeTexel(1, 2, 3)));
  ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(device_.get(), bmp.data(), UINT(bmp.size()), 16,
                                                16, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_DEFAULT,
                                                D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr,
                                                &texture),
            S_OK);
  D3DSURFACE_DESC desc;
  texture->GetLevelDesc(0, &desc);
  EXPECT_EQ(desc.Pool, D3DPOOL_DEFAULT);
  SafeRelease(texture);
}

TEST_F(TextureFromFile, DxtFilesGoInAsTheyAre) {
  IDirect3DTexture8* texture = nullptr;
  const std::string path = TestDataPath("dds/dxt5-argb-8bbp-interpolatedalpha_MipMaps-1.dds");
  ASSERT_EQ(D3DXCreateTextureFromFileA(device_.get(), path.c_str(), &texture), S_OK);
  D3DSURFACE_DESC desc;
  texture->GetLevelDesc(0, &desc);
  EXPECT_TRUE(desc.Format == D3DFMT_DXT5 || desc.Format == D3DFMT_A8R8G8B8);
  EXPECT_EQ(desc.Width, 256u);
  SafeRelease(texture);
}

// A DDS cube map of 16 x 16 A8R8G8B8 faces, face i filled with colours[i].
std::vector<uint8_t> CubeDds(const uint32_t colours[6]) {
  std::vector<uint8_t> d(128, 0);
  auto put = [&](size_t o, uint32_t v) { std::memcpy(d.data() + o, &v, 4); };
  std::memcpy(d.data(), "DDS ", 4);
  put(4, 124);
  put(8, 0x100F);
  put(12, 16);
  put(16, 16);
  put(76, 32);
  put(80, 0x41);
  put(88, 32);
  put(92, 0xFF0000);
  put(96, 0xFF00);
  put(100, 0xFF);
  put(104, 0xFF000000u);
  put(108, 0x1008);
  put(112, 0xFE00);
  for (int face = 0; face < 6; ++face) {
    for (int i = 0; i < 256; ++i) {
      d.resize(d.size() + 4);
      std::memcpy(d.data() + d.size() - 4, &colours[face], 4);
    }
  }
  return d;
}

TEST_F(TextureFromFile, CubeMapFacesKeepTheirOrderAndGetAFullChain) {
  const uint32_t colours[6] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu,
                               0xFFFFFF00u, 0xFF00FFFFu, 0xFFFF00FFu};
  const auto dds = CubeDds(colours);
  testing_support::TempFolder folder;
  folder.Write("env.dds", std::string(dds.begin(), dds.end()));
  IDirect3DCubeTexture8* cube = nullptr;
  ASSERT_EQ(D3DXCreateCubeTextureFromFileA(device_.get(), folder.File("env.dds").c_str(), &cube),
            S_OK);
  EXPECT_EQ(cube->GetLevelCount(), 5u);
  for (int face = 0; face < 6; ++face) {
    const Image top = ReadCubeLevel(cube, D3DCUBEMAP_FACES(face), 0);
    const Image last = ReadCubeLevel(cube, D3DCUBEMAP_FACES(face), 4);
    ASSERT_EQ(top.width, 16u);
    EXPECT_EQ(top.At(7, 7), colours[face]) << face;
    EXPECT_EQ(last.At(0, 0), colours[face]) << face;
  }
  SafeRelease(cube);
  // Truncated cube maps and missing files leave no cube texture.
  const std::vector<uint8_t> cut(dds.begin(), dds.end() - 100);
  cube = reinterpret_cast<IDirect3DCubeTexture8*>(1);
  EXPECT_EQ(D3DXCreateCubeTextureFromFileInMemory(device_.get(), cut.data(), UINT(cut.size()), &cube),
            HRESULT(kImageTruncated));
  EXPECT_EQ(cube, nullptr);
  EXPECT_TRUE(FAILED(D3DXCreateCubeTextureFromFileA(device_.get(), folder.File("none.dds").c_str(), &cube)));
  EXPECT_EQ(cube, nullptr);
}

TEST_F(TextureFromFile, PlainPictureFillsAllCubeFaces) {
  const auto bmp = EncodeBmp24(Solid(32, 32, MakeTexel(9, 99, 199)));
  IDirect3DCubeTexture8* cube = nullptr;
  ASSERT_EQ(D3DXCreateCubeTextureFromFileInMemory(device_.get(), bmp.data(), UINT(bmp.size()), &cube),
            S_OK);
  for (int face = 0; face < 6; ++face) {
    EXPECT_EQ(ReadCubeLevel(cube, D3DCUBEMAP_FACES(face), 0).At(5, 5), MakeTexel(9, 99, 199));
  }
  SafeRelease(cube);
}

}  // namespace
