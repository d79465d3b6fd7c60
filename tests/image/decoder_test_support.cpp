// Reference decoders written the plain way, independent of the code under test.
#include "decoder_test_support.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include <jpeglib.h>
#include <png.h>

namespace decoder_test {
using imaging::Image;
using imaging::MakeTexel;

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((TestDataPath(folder) + "/" + pattern).c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(found.cFileName);
  } while (FindNextFileA(h, &found));
  FindClose(h);
  std::sort(names.begin(), names.end());
  return names;
}

namespace {
struct JpegError {
  jpeg_error_mgr pub;
  jmp_buf jump;
};
void JpegFail(j_common_ptr c) { longjmp(reinterpret_cast<JpegError*>(c->err)->jump, 1); }
}  // namespace

bool ReferenceJpeg(const std::vector<uint8_t>& bytes, Image& out) {
  jpeg_decompress_struct cinfo;
  JpegError err;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = JpegFail;
  std::vector<uint8_t> row;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, bytes.data(), (unsigned long)bytes.size());
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  out.width = cinfo.output_width;
  out.height = cinfo.output_height;
  out.texels.assign(size_t(out.width) * out.height, 0);
  row.resize(size_t(out.width) * 3);
  while (cinfo.output_scanline < cinfo.output_height) {
    const uint32_t y = cinfo.output_scanline;
    JSAMPROW p = row.data();
    jpeg_read_scanlines(&cinfo, &p, 1);
    for (uint32_t x = 0; x < out.width; ++x) {
      out.texels[size_t(y) * out.width + x] = MakeTexel(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

namespace {
struct PngSource {
  const std::vector<uint8_t>* bytes;
  size_t pos;
};
void PngRead(png_structp png, png_bytep out, png_size_t n) {
  auto* s = static_cast<PngSource*>(png_get_io_ptr(png));
  if (s->pos + n > s->bytes->size()) png_error(png, "eof");
  std::memcpy(out, s->bytes->data() + s->pos, n);
  s->pos += n;
}
void PngQuiet(png_structp, png_const_charp) {}
}  // namespace

bool ReferencePng(const std::vector<uint8_t>& bytes, Image& out) {
  PngSource source{&bytes, 0};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, PngQuiet);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &source, PngRead);
  png_read_png(png, info,
               PNG_TRANSFORM_EXPAND | PNG_TRANSFORM_STRIP_16 | PNG_TRANSFORM_GRAY_TO_RGB, nullptr);
  out.width = png_get_image_width(png, info);
  out.height = png_get_image_height(png, info);
  const int channels = png_get_channels(png, info);
  png_bytepp rows = png_get_rows(png, info);
  out.texels.assign(size_t(out.width) * out.height, 0);
  for (uint32_t y = 0; y < out.height; ++y) {
    for (uint32_t x = 0; x < out.width; ++x) {
      const png_bytep p = rows[y] + size_t(x) * channels;
      out.texels[size_t(y) * out.width + x] =
          MakeTexel(p[0], p[1], p[2], channels == 4 ? p[3] : 255);
    }
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

bool ReferenceBmp(const std::vector<uint8_t>& d, Image& out) {
  auto le32 = [&](size_t o) { return uint32_t(d[o] | d[o + 1] << 8 | d[o + 2] << 16 | d[o + 3] << 24); };
  auto le16 = [&](size_t o) { return uint32_t(d[o] | d[o + 1] << 8); };
  if (d.size() < 54 || d[0] != 'B' || d[1] != 'M') return false;
  const uint32_t offset = le32(10), header = le32(14);
  const int32_t w = int32_t(le32(18)), h = int32_t(le32(22));
  const uint32_t bpp = le16(28), compression = le32(30), used = le32(46);
  if (compression != 0 || header < 40 || bpp == 16) return false;
  const uint32_t height = uint32_t(std::abs(h));
  const uint32_t stride = (uint32_t(w) * bpp + 31) / 32 * 4;
  out.width = uint32_t(w);
  out.height = height;
  out.texels.assign(size_t(out.width) * height, 0);
  const size_t palette = 14 + header;
  const uint32_t colours = bpp <= 8 ? (used ? used : 1u << bpp) : 0;
  for (uint32_t y = 0; y < height; ++y) {
    const size_t row = offset + size_t(h < 0 ? y : height - 1 - y) * stride;
    for (uint32_t x = 0; x < out.width; ++x) {
      uint32_t t;
      if (bpp <= 8) {
        const uint32_t bit = x * bpp;
        const uint32_t index = (d[row + bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
        const size_t e = palette + 4 * size_t(index);
        t = index < colours ? MakeTexel(d[e + 2], d[e + 1], d[e]) : MakeTexel(0, 0, 0);
      } else {
        const size_t p = row + size_t(x) * (bpp / 8);
        t = MakeTexel(d[p + 2], d[p + 1], d[p]);
      }
      out.texels[size_t(y) * out.width + x] = t;
    }
  }
  return true;
}

namespace {
// Weights of source texels for output k along one axis.
std::vector<std::pair<uint32_t, double>> AxisWeights(uint32_t from, uint32_t to, uint32_t k) {
  std::vector<std::pair<uint32_t, double>> w;
  if (to <= from) {
    const double a = double(k) * from / to, b = double(k + 1) * from / to;
    for (uint32_t i = uint32_t(a); i < from && i < b; ++i) {
      const double overlap = std::min(b, i + 1.0) - std::max(a, double(i));
      if (overlap > 1e-9) w.push_back({i, overlap / (b - a)});
    }
  } else {
    const double x = (k + 0.5) * from / to - 0.5;
    const double f = x - std::floor(x);
    const int i0 = int(std::floor(x));
    auto clamp = [&](int i) { return uint32_t(std::min(std::max(i, 0), int(from) - 1)); };
    w.push_back({clamp(i0), 1 - f});
    w.push_back({clamp(i0 + 1), f});
  }
  return w;
}
}  // namespace

Image ReferenceResize(const Image& s, uint32_t width, uint32_t height) {
  Image out;
  out.width = width;
  out.height = height;
  out.texels.assign(size_t(width) * height, 0);
  for (uint32_t y = 0; y < height; ++y) {
    const auto wy = AxisWeights(s.height, height, y);
    for (uint32_t x = 0; x < width; ++x) {
      const auto wx = AxisWeights(s.width, width, x);
      double acc[4] = {0, 0, 0, 0};
      for (const auto& [sy, fy] : wy) {
        for (const auto& [sx, fx] : wx) {
          const uint32_t t = s.At(sx, sy);
          for (int c = 0; c < 4; ++c) acc[c] += fx * fy * ((t >> (8 * c)) & 0xFF);
        }
      }
      uint32_t t = 0;
      for (int c = 0; c < 4; ++c) t |= uint32_t(std::lround(std::min(255.0, acc[c]))) << (8 * c);
      out.texels[size_t(y) * width + x] = t;
    }
  }
  return out;
}

int MaxChannelDifference(const Image& a, const Image& b, uint32_t margin) {
  if (a.width != b.width || a.height != b.height) return 1000;
  int worst = 0;
  for (uint32_t y = margin; y + margin < a.height; ++y) {
    for (uint32_t x = margin; x + margin < a.width; ++x) {
      const uint32_t p = a.At(x, y), q = b.At(x, y);
      for (int c = 0; c < 4; ++c) {
        worst = std::max(worst, std::abs(int((p >> (8 * c)) & 0xFF) - int((q >> (8 * c)) & 0xFF)));
      }
    }
  }
  return worst;
}

double MeanChannelDifference(const Image& a, const Image& b) {
  if (a.width != b.width || a.height != b.height) return 1000;
  double sum = 0;
  for (size_t i = 0; i < a.texels.size(); ++i) {
    for (int c = 0; c < 3; ++c) {
      sum += std::abs(int((a.texels[i] >> (8 * c)) & 0xFF) - int((b.texels[i] >> (8 * c)) & 0xFF));
    }
  }
  return sum / (3.0 * a.texels.size());
}

std::vector<uint8_t> EncodeJpeg(const Image& image, int quality, const std::vector<uint8_t>* app1) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = image.width;
  cinfo.image_height = image.height;
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  if (app1 != nullptr) jpeg_write_marker(&cinfo, JPEG_APP0 + 1, app1->data(), unsigned(app1->size()));
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = (JSAMPROW)image.Row(cinfo.next_scanline);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<uint8_t> out(buffer, buffer + size);
  free(buffer);
  return out;
}

std::vector<uint8_t> ExifOrientationPayload(int orientation, bool be) {
  std::vector<uint8_t> p = {'E', 'x', 'i', 'f', 0, 0};
  auto put16 = [&](uint32_t v) {
    if (be) { p.push_back(uint8_t(v >> 8)); p.push_back(uint8_t(v)); }
    else { p.push_back(uint8_t(v)); p.push_back(uint8_t(v >> 8)); }
  };
  auto put32 = [&](uint32_t v) {
    if (be) { put16(v >> 16); put16(v & 0xFFFF); }
    else { put16(v & 0xFFFF); put16(v >> 16); }
  };
  p.push_back(be ? 'M' : 'I');
  p.push_back(be ? 'M' : 'I');
  put16(42);
  put32(8);          // IFD0 right after the TIFF header
  put16(2);          // two entries: a harmless one, then Orientation
  put16(0x010F);     // Make, ASCII, 4 bytes inline
  put16(2);
  put32(4);
  p.insert(p.end(), {'S', 'V', '7', 0});
  put16(0x0112);
  put16(3);
  put32(1);
  put16(uint32_t(orientation));
  put16(0);
  put32(0);          // no next IFD
  return p;
}

std::vector<uint8_t> EncodeBmp24(const Image& image) {
  const uint32_t stride = (image.width * 3 + 3) & ~3u;
  const uint32_t dataSize = stride * image.height;
  std::vector<uint8_t> b(54 + dataSize, 0);
  auto put32 = [&](size_t o, uint32_t v) { for (int i = 0; i < 4; ++i) b[o + i] = uint8_t(v >> (8 * i)); };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, uint32_t(b.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, image.width);
  put32(22, image.height);
  b[26] = 1;
  b[28] = 24;
  put32(34, dataSize);
  for (uint32_t y = 0; y < image.height; ++y) {
    uint8_t* row = b.data() + 54 + size_t(image.height - 1 - y) * stride;
    for (uint32_t x = 0; x < image.width; ++x) {
      const uint32_t t = image.At(x, y);
      row[3 * x] = uint8_t(t);
      row[3 * x + 1] = uint8_t(t >> 8);
      row[3 * x + 2] = uint8_t(t >> 16);
    }
  }
  return b;
}

}  // namespace decoder_test
