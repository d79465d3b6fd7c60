// The picture files the program reads, by family, for the file dialogs and the folder scan:
// our own decoders' and those of the system's codecs, asked at run time since codec packs add
// formats (HEIF, RAW, ...) after we ship.
#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <utility>

#include "image/wic_decoder.h"

namespace imaging {
namespace {

using Microsoft::WRL::ComPtr;

std::string Narrow(const std::wstring& text) {
  const int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return std::string();
  std::string narrow(size_t(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &narrow[0], length, nullptr, nullptr);
  narrow.resize(size_t(length) - 1);
  return narrow;
}

// "*.ext" for every ".EXT" of a comma-separated list, lower case.
std::vector<std::string> Patterns(const std::wstring& list) {
  std::vector<std::string> patterns;
  size_t at = 0;
  while (at < list.size()) {
    size_t end = list.find(L',', at);
    if (end == std::wstring::npos) end = list.size();
    std::wstring extension = list.substr(at, end - at);
    extension.erase(std::remove_if(extension.begin(), extension.end(), iswspace),
                    extension.end());
    if (!extension.empty() && extension[0] == L'.') extension.erase(0, 1);
    for (wchar_t& c : extension) c = wchar_t(towlower(c));
    // A pattern with a separator of the filter syntax in it would break the filter string.
    if (!extension.empty() && extension.find_first_of(L";*?") == std::wstring::npos) {
      patterns.push_back("*." + Narrow(extension));
    }
    at = end + 1;
  }
  return patterns;
}

// Reads one of the codec's texts, whose length the first call tells.
template <typename Get>
std::wstring CodecText(Get get) {
  UINT length = 0;
  if (FAILED(get(0, nullptr, &length)) || length == 0 || length > 4096) return std::wstring();
  std::wstring text(length, L'\0');
  if (FAILED(get(length, &text[0], &length))) return std::wstring();
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

void AddSystemFamilies(std::vector<PictureFamily>& families) {
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IEnumUnknown> codecs;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(factory.GetAddressOf()))) ||
      FAILED(factory->CreateComponentEnumerator(WICDecoder, WICComponentEnumerateDefault,
                                                &codecs))) {
    return;
  }
  std::vector<std::string> known;
  for (const PictureFamily& family : families) {
    known.insert(known.end(), family.patterns.begin(), family.patterns.end());
  }
  ComPtr<IUnknown> item;
  ULONG fetched = 0;
  while (codecs->Next(1, &item, &fetched) == S_OK && fetched == 1) {
    ComPtr<IWICBitmapCodecInfo> codec;
    if (SUCCEEDED(item.As(&codec))) {
      PictureFamily family;
      family.name = Narrow(CodecText([&](UINT n, WCHAR* text, UINT* actual) {
        return codec->GetFriendlyName(n, text, actual);
      }));
      for (std::string& pattern : Patterns(CodecText([&](UINT n, WCHAR* text, UINT* actual) {
             return codec->GetFileExtensions(n, text, actual);
           }))) {
        if (std::find(known.begin(), known.end(), pattern) != known.end()) continue;
        known.push_back(pattern);
        family.patterns.push_back(std::move(pattern));
      }
      if (!family.patterns.empty()) families.push_back(std::move(family));
    }
    item.Reset();
  }
}

}  // namespace

std::vector<PictureFamily> PictureFamilies() {
  std::vector<PictureFamily> families = {
      {"JPEG", {"*.jpg", "*.jpeg", "*.jpe", "*.jfif"}},
      {"PNG", {"*.png"}},
      {"BMP", {"*.bmp", "*.dib"}},
      {"WebP", {"*.webp"}},
      {"TGA", {"*.tga"}},
      {"DDS", {"*.dds"}},
  };
  const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  AddSystemFamilies(families);
  if (SUCCEEDED(com)) CoUninitialize();
  return families;
}

}  // namespace imaging
