// DirectX File's decompressor trusts the block framing of compressed .x files, and its binary
// parser the lengths of names and strings; either can crash the process on a damaged file.
// These checks run first and refuse such files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/win_types.h"

constexpr size_t kXFileHeaderSize = 16;
// A mesh file of this size, or a compressed one that unpacks to more, is not something the
// scene would draw.
constexpr uint64_t kMaxCompressedXFile = 64u << 20;

// True for a header of a compressed ("bzip" or "tzip") .x file.
bool IsCompressedXFileHeader(const uint8_t* bytes, size_t size);

// The framing after the 16-byte header: a DWORD total size (header included), then blocks of
// WORD uncompressed size, WORD compressed size, "CK" and deflate data, where the compressed
// size counts "CK" and the data. The blocks must exactly fill the file, and their
// uncompressed sizes add up to the total minus the header.
bool CompressedXFileFramingIsSound(const uint8_t* bytes, size_t size);

// Every block's deflate data, with the block before it as history, must end exactly at the
// block's end and unpack to exactly the block's stated size. DirectX File's decompressor
// crashes on damaged data inside a well-framed block too. Call on sound framing only.
// With `unpacked`, the blocks' contents are appended there (refused above 64 MB).
bool CompressedXFileBlocksUnpack(const uint8_t* bytes, size_t size,
                                 std::vector<uint8_t>* unpacked = nullptr);

// True for a header of a binary (".. bin " or "bzip") .x file.
bool IsBinaryXFileHeader(const uint8_t* bytes, size_t size);

// The tokens of a binary .x file after its header (or of a compressed one's contents): every
// token known, every count inside the data, and no name or string longer than 511 bytes.
bool BinaryXFileTokensAreSound(const uint8_t* tokens, size_t size, uint32_t floatBytes);

// The whole file in memory: true for a text file, or a binary or compressed one that passes
// the checks above.
bool XFileBytesAreSound(const uint8_t* bytes, size_t size);

// S_OK for a text file, or a binary or compressed one that passes the checks above, and for a
// file that cannot be opened (DirectX File reports that); E_FAIL otherwise, including a file
// above kMaxCompressedXFile or one that cannot be read.
HRESULT CheckXFileFraming(const char* path);
