// The compressed form of a .x file ("txt " -> "tzip", "bin " -> "bzip"): total size, then
// blocks of at most 32 KB, each deflated with the block before it as its dictionary. Shared by
// the Wine fuzz tests and the native fuzz build's seed maker, so it needs zlib only.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

inline std::string CompressXFile(const std::string& plain) {
  constexpr size_t kHeader = 16;
  if (plain.size() < kHeader) return std::string();
  std::string header = plain.substr(0, kHeader);
  if (header.compare(8, 4, "txt ") == 0) {
    header.replace(8, 4, "tzip");
  } else if (header.compare(8, 4, "bin ") == 0) {
    header.replace(8, 4, "bzip");
  } else {
    return std::string();
  }
  const uint32_t total = uint32_t(plain.size());
  std::string out = header;
  for (int i = 0; i < 4; ++i) out += char((total >> (8 * i)) & 0xFF);
  // The total counts the header; the blocks carry what follows it.
  const std::string body = plain.substr(kHeader);
  std::string previous;
  for (size_t at = 0; at < body.size(); at += 32768) {
    const std::string block = body.substr(at, 32768);
    z_stream stream{};
    if (deflateInit2(&stream, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return "";
    if (!previous.empty()) {
      deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(previous.data()),
                           uInt(previous.size()));
    }
    std::string packed(deflateBound(&stream, uLong(block.size())) + 16, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(block.data()));
    stream.avail_in = uInt(block.size());
    stream.next_out = reinterpret_cast<Bytef*>(&packed[0]);
    stream.avail_out = uInt(packed.size());
    const int result = deflate(&stream, Z_FINISH);
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END || packed.size() + 2 > 0xFFFF) return "";
    const uint32_t unpackedSize = uint32_t(block.size());
    const uint32_t packedSize = uint32_t(packed.size() + 2);
    out += char(unpackedSize & 0xFF);
    out += char(unpackedSize >> 8);
    out += char(packedSize & 0xFF);
    out += char(packedSize >> 8);
    out += "CK";
    out += packed;
    previous = block;
  }
  return out;
}

}  // namespace fuzz
