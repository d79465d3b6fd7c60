#include "xfile/compressed_xfile.h"

#include <zlib.h>

#include <cstring>
#include <vector>

namespace {

// A compressed mesh file of this size is not something the scene would draw.
constexpr uint64_t kMaxCompressedFile = 64u << 20;
// One deflate block of the format never unpacks to more than this.
constexpr uint32_t kMaxBlockSize = 32768;

uint32_t ReadLe(const uint8_t* p, int bytes) {
  uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | p[i];
  return value;
}

}  // namespace

bool IsCompressedXFileHeader(const uint8_t* bytes, size_t size) {
  if (size < kXFileHeaderSize || std::memcmp(bytes, "xof ", 4) != 0) return false;
  return std::memcmp(bytes + 8, "bzip", 4) == 0 || std::memcmp(bytes + 8, "tzip", 4) == 0;
}

bool CompressedXFileFramingIsSound(const uint8_t* bytes, size_t size) {
  if (size < kXFileHeaderSize + 4) return false;
  const uint64_t total = ReadLe(bytes + kXFileHeaderSize, 4);
  if (total < kXFileHeaderSize) return false;
  size_t position = kXFileHeaderSize + 4;
  uint64_t unpacked = 0;
  if (position == size) return false;  // no block at all
  while (position < size) {
    if (size - position < 6) return false;
    const uint32_t blockUnpacked = ReadLe(bytes + position, 2);
    const uint32_t blockPacked = ReadLe(bytes + position + 2, 2);
    if (blockUnpacked == 0 || blockUnpacked > kMaxBlockSize || blockPacked < 3) return false;
    if (bytes[position + 4] != 'C' || bytes[position + 5] != 'K') return false;
    if (blockPacked > size - position - 4) return false;
    position += 4 + blockPacked;
    unpacked += blockUnpacked;
  }
  return position == size && unpacked == total - kXFileHeaderSize;
}

bool CompressedXFileBlocksUnpack(const uint8_t* bytes, size_t size) {
  std::vector<uint8_t> previous;
  std::vector<uint8_t> block(kMaxBlockSize);
  size_t position = kXFileHeaderSize + 4;
  while (position + 6 <= size) {
    const uint32_t blockUnpacked = ReadLe(bytes + position, 2);
    const uint32_t blockPacked = ReadLe(bytes + position + 2, 2);
    if (blockUnpacked > kMaxBlockSize || blockPacked < 2 || blockPacked > size - position - 4) {
      return false;
    }
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return false;
    bool ok = previous.empty() ||
              inflateSetDictionary(&stream, previous.data(), uInt(previous.size())) == Z_OK;
    stream.next_in = const_cast<Bytef*>(bytes + position + 6);
    stream.avail_in = blockPacked - 2;
    stream.next_out = block.data();
    stream.avail_out = uInt(block.size());
    // The buffer holds the largest block: a stream that makes more or less than stated fails.
    ok = ok && inflate(&stream, Z_FINISH) == Z_STREAM_END && stream.avail_in == 0 &&
         stream.total_out == blockUnpacked;
    inflateEnd(&stream);
    if (!ok) return false;
    previous.assign(block.begin(), block.begin() + blockUnpacked);
    position += 4 + blockPacked;
  }
  return position == size;
}

HRESULT CheckXFileFraming(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  // A file we cannot open is DirectX File's to report.
  if (file == INVALID_HANDLE_VALUE) return S_OK;
  uint8_t header[kXFileHeaderSize];
  DWORD read = 0;
  LARGE_INTEGER fileSize;
  if (!ReadFile(file, header, sizeof(header), &read, nullptr) ||
      !IsCompressedXFileHeader(header, read)) {
    CloseHandle(file);
    return S_OK;
  }
  if (!GetFileSizeEx(file, &fileSize) || fileSize.QuadPart < 0 ||
      static_cast<uint64_t>(fileSize.QuadPart) > kMaxCompressedFile) {
    CloseHandle(file);
    return E_FAIL;
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(fileSize.QuadPart));
  std::memcpy(bytes.data(), header, sizeof(header));
  size_t filled = sizeof(header);
  while (filled < bytes.size()) {
    DWORD chunk = 0;
    DWORD want = static_cast<DWORD>(bytes.size() - filled);
    if (!ReadFile(file, bytes.data() + filled, want, &chunk, nullptr) || chunk == 0) break;
    filled += chunk;
  }
  CloseHandle(file);
  if (filled != bytes.size()) return E_FAIL;
  return CompressedXFileFramingIsSound(bytes.data(), bytes.size()) &&
                 CompressedXFileBlocksUnpack(bytes.data(), bytes.size())
             ? S_OK
             : E_FAIL;
}
