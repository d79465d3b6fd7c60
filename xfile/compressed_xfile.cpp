#include "xfile/compressed_xfile.h"

#include <zlib.h>

#include <cstring>
#include <vector>

namespace {

// One deflate block of the format never unpacks to more than this.
constexpr uint32_t kMaxBlockSize = 32768;

uint32_t ReadLe(const uint8_t* p, int bytes) {
  uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | p[i];
  return value;
}

// Tokens of the binary format.
constexpr uint32_t kTokenName = 1;
constexpr uint32_t kTokenString = 2;
constexpr uint32_t kTokenInteger = 3;
constexpr uint32_t kTokenGuid = 5;
constexpr uint32_t kTokenIntegerList = 6;
constexpr uint32_t kTokenFloatList = 7;

// Braces, punctuation, "template" and the primitive type keywords: no data follows them.
bool IsBareToken(uint32_t token) {
  return (token >= 10 && token <= 20) || token == 31 || (token >= 40 && token <= 52);
}

// DirectX File copies a name or string into a fixed buffer; longer ones overrun it.
constexpr uint32_t kMaxTokenText = 511;

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

bool IsBinaryXFileHeader(const uint8_t* bytes, size_t size) {
  return size >= kXFileHeaderSize && std::memcmp(bytes, "xof ", 4) == 0 &&
         (std::memcmp(bytes + 8, "bin ", 4) == 0 || std::memcmp(bytes + 8, "bzip", 4) == 0);
}

bool BinaryXFileTokensAreSound(const uint8_t* tokens, size_t size, uint32_t floatBytes) {
  size_t position = 0;
  while (position < size) {
    if (size - position < 2) return false;
    const uint32_t token = ReadLe(tokens + position, 2);
    position += 2;
    if (IsBareToken(token)) continue;
    uint64_t payload = 0;
    if (token == kTokenInteger) {
      payload = 4;
    } else if (token == kTokenGuid) {
      payload = 16;
    } else if (token == kTokenName || token == kTokenString || token == kTokenIntegerList ||
               token == kTokenFloatList) {
      if (size - position < 4) return false;
      const uint64_t count = ReadLe(tokens + position, 4);
      position += 4;
      if (token == kTokenName || token == kTokenString) {
        if (count > kMaxTokenText) return false;
        payload = count + (token == kTokenString ? 2 : 0);  // a string ends in "," or ";"
      } else {
        payload = count * (token == kTokenIntegerList ? 4 : floatBytes);
      }
    } else {
      return false;
    }
    if (payload > size - position) return false;
    position += size_t(payload);
  }
  return true;
}

bool CompressedXFileBlocksUnpack(const uint8_t* bytes, size_t size,
                                 std::vector<uint8_t>* unpacked) {
  if (unpacked != nullptr) {
    unpacked->clear();
    if (size < kXFileHeaderSize + 4 ||
        ReadLe(bytes + kXFileHeaderSize, 4) > kMaxCompressedXFile + kXFileHeaderSize) {
      return false;
    }
  }
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
    if (unpacked != nullptr) unpacked->insert(unpacked->end(), previous.begin(), previous.end());
    position += 4 + blockPacked;
  }
  return position == size;
}

bool XFileBytesAreSound(const uint8_t* bytes, size_t size) {
  const bool compressed = IsCompressedXFileHeader(bytes, size);
  const bool binary = IsBinaryXFileHeader(bytes, size);
  // Text files DirectX File parses safely.
  if (!compressed && !binary) return true;
  if (size > kMaxCompressedXFile) return false;
  uint32_t floatBytes = 0;
  if (std::memcmp(bytes + 12, "0032", 4) == 0) floatBytes = 4;
  if (std::memcmp(bytes + 12, "0064", 4) == 0) floatBytes = 8;
  if (binary && floatBytes == 0) return false;
  if (!compressed) {
    return BinaryXFileTokensAreSound(bytes + kXFileHeaderSize, size - kXFileHeaderSize,
                                     floatBytes);
  }
  std::vector<uint8_t> unpacked;
  if (!CompressedXFileFramingIsSound(bytes, size) ||
      !CompressedXFileBlocksUnpack(bytes, size, binary ? &unpacked : nullptr)) {
    return false;
  }
  return !binary || BinaryXFileTokensAreSound(unpacked.data(), unpacked.size(), floatBytes);
}
