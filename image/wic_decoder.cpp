// Every COM object has a ComPtr owner; each call initialises COM for itself and balances it, so
// any thread may call, whether or not it set up an apartment of its own.
#include "image/wic_decoder.h"

#include <windows.h>
#include <propidl.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <utility>

#include "image/exif_orientation.h"
#include "image/image_decode.h"
#include "image/image_scale.h"

namespace imaging {
namespace {

using Microsoft::WRL::ComPtr;

// Rows fetched from the system's codec per call.
constexpr uint32_t kStripRows = 64;

class ComApartment {
 public:
  ComApartment() : hr_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  HRESULT hr_;  // RPC_E_CHANGED_MODE: the thread is single-threaded already, which serves too
};

HRESULT CreateFactory(ComPtr<IWICImagingFactory>& factory) {
  return CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                          IID_PPV_ARGS(factory.GetAddressOf()));
}

struct OpenedFrame {
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  uint32_t width = 0;  // as stored
  uint32_t height = 0;
  int orientation = 1;
};

// Phones and cameras say how to turn the picture upright: the system's own property first,
// then the EXIF tag where a JPEG-style or a TIFF file keeps it.
int ReadOrientation(IWICBitmapFrameDecode* frame) {
  ComPtr<IWICMetadataQueryReader> reader;
  if (FAILED(frame->GetMetadataQueryReader(&reader))) return 1;
  for (const wchar_t* name :
       {L"System.Photo.Orientation", L"/app1/ifd/{ushort=274}", L"/ifd/{ushort=274}"}) {
    PROPVARIANT value;
    PropVariantInit(&value);
    int orientation = 0;
    if (SUCCEEDED(reader->GetMetadataByName(name, &value)) && value.vt == VT_UI2) {
      orientation = value.uiVal;
    }
    PropVariantClear(&value);
    if (orientation >= 1 && orientation <= 8) return orientation;
  }
  return 1;
}

HRESULT OpenFirstFrame(const uint8_t* data, size_t size, OpenedFrame& opened) {
  if (data == nullptr || size == 0) return kImageInvalid;
  if (size > 0xFFFFFFFFu) return kImageTooLarge;
  HRESULT hr = CreateFactory(opened.factory);
  if (SUCCEEDED(hr)) hr = opened.factory->CreateStream(&opened.stream);
  if (SUCCEEDED(hr)) {
    hr = opened.stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size));
  }
  if (SUCCEEDED(hr)) {
    hr = opened.factory->CreateDecoderFromStream(opened.stream.Get(), nullptr,
                                                 WICDecodeMetadataCacheOnDemand, &opened.decoder);
  }
  if (SUCCEEDED(hr)) hr = opened.decoder->GetFrame(0, &opened.frame);
  UINT width = 0, height = 0;
  if (SUCCEEDED(hr)) hr = opened.frame->GetSize(&width, &height);
  if (FAILED(hr)) return hr;
  if (width == 0 || height == 0) return kImageInvalid;
  if (width > kMaxImageSide || height > kMaxImageSide ||
      uint64_t(width) * height > kMaxImagePixels) {
    return kImageTooLarge;
  }
  opened.width = width;
  opened.height = height;
  opened.orientation = ReadOrientation(opened.frame.Get());
  return S_OK;
}

void FillInfo(const OpenedFrame& opened, SourceInfo& info) {
  const bool swap = OrientationSwapsAxes(opened.orientation);
  info = SourceInfo();
  info.width = swap ? opened.height : opened.width;
  info.height = swap ? opened.width : opened.height;
  info.format = PixelFormat::A8R8G8B8;
  info.fileFormat = FileFormat::System;
}

// Rows of `source` (32bpp BGRA, our texel layout) into the sink, a strip at a time.
HRESULT PumpRows(IWICBitmapSource* source, uint32_t width, uint32_t height, ImageSink& sink) {
  HRESULT hr = sink.Begin(width, height);
  if (FAILED(hr)) return hr;
  std::vector<uint32_t> strip(size_t(width) * std::min(height, kStripRows));
  for (uint32_t y = 0; y < height; y += kStripRows) {
    if (sink.Cancelled()) return kImageCancelled;
    const uint32_t rows = std::min(kStripRows, height - y);
    const WICRect rect = {0, INT(y), INT(width), INT(rows)};
    hr = source->CopyPixels(&rect, width * 4, UINT(size_t(width) * rows * 4),
                            reinterpret_cast<BYTE*>(strip.data()));
    if (FAILED(hr)) return hr;
    for (uint32_t r = 0; r < rows; ++r) {
      std::copy_n(strip.data() + size_t(r) * width, width, sink.NextRow());
      sink.CommitRow();
    }
  }
  return S_OK;
}

}  // namespace

ImageResult ReadSystemPictureInfo(const uint8_t* data, size_t size, SourceInfo& info) {
  ComApartment com;
  OpenedFrame opened;
  const HRESULT hr = OpenFirstFrame(data, size, opened);
  if (SUCCEEDED(hr)) FillInfo(opened, info);
  return hr;
}

ImageResult DecodeSystemPicture(const uint8_t* data, size_t size, const DecodeOptions& options,
                                Image& decoded, SourceInfo& info) {
  ComApartment com;
  OpenedFrame opened;
  HRESULT hr = OpenFirstFrame(data, size, opened);
  if (FAILED(hr)) return hr;
  FillInfo(opened, info);
  const bool swap = OrientationSwapsAxes(opened.orientation);
  const uint32_t wantWidth = options.width ? options.width : info.width;
  const uint32_t wantHeight = options.height ? options.height : info.height;
  const uint32_t storedWidth = swap ? wantHeight : wantWidth;
  const uint32_t storedHeight = swap ? wantWidth : wantHeight;

  // Converted before it is scaled: the scaler then averages colours, not palette indices.
  ComPtr<IWICFormatConverter> converter;
  hr = opened.factory->CreateFormatConverter(&converter);
  if (SUCCEEDED(hr)) {
    hr = converter->Initialize(opened.frame.Get(), GUID_WICPixelFormat32bppBGRA,
                               WICBitmapDitherTypeNone, nullptr, 0.0,
                               WICBitmapPaletteTypeCustom);
  }
  if (FAILED(hr)) return hr;
  ComPtr<IWICBitmapSource> source = converter;
  uint32_t width = opened.width, height = opened.height;
  if ((options.filter & 0xFF) != kFilterNone) {
    ChooseCoveringSize(opened.width, opened.height, storedWidth, storedHeight, width, height);
  }
  if (width != opened.width || height != opened.height) {
    ComPtr<IWICBitmapScaler> scaler;
    hr = opened.factory->CreateBitmapScaler(&scaler);
    if (SUCCEEDED(hr)) {
      hr = scaler->Initialize(converter.Get(), width, height, WICBitmapInterpolationModeFant);
    }
    if (FAILED(hr)) return hr;
    source = scaler;
  }
  ImageSink sink(storedWidth, storedHeight, options.filter, options.colorKey);
  sink.SetKeepGoing(options.keepGoing);
  Image stored;
  hr = PumpRows(source.Get(), width, height, sink);
  if (SUCCEEDED(hr)) hr = sink.Finish(stored);
  if (FAILED(hr)) return hr;
  info.hasAlpha = std::any_of(stored.texels.begin(), stored.texels.end(),
                              [](uint32_t texel) { return (texel >> 24) != 0xFF; });
  return TurnUpright(std::move(stored), opened.orientation, decoded);
}

ImageResult ProbeAnyPicture(const uint8_t* data, size_t size, SourceInfo& info) {
  if (DetectFormat(data, size) != DetectedFormat::Unknown) return ProbeImage(data, size, info);
  return ReadSystemPictureInfo(data, size, info);
}

ImageResult DecodeAnyPicture(const uint8_t* data, size_t size, const DecodeOptions& options,
                             Image& decoded, SourceInfo& info) {
  if (DetectFormat(data, size) != DetectedFormat::Unknown) {
    return DecodeImage(data, size, options, decoded, info);
  }
  return DecodeSystemPicture(data, size, options, decoded, info);
}

}  // namespace imaging
