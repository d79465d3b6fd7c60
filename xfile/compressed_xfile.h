// DirectX File's decompressor trusts the block framing of compressed .x files and can crash
// the process on a damaged one; these checks run first and refuse such files.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

constexpr size_t kXFileHeaderSize = 16;

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
bool CompressedXFileBlocksUnpack(const uint8_t* bytes, size_t size);

// S_OK for a file that is not compressed or whose framing and blocks are sound; E_FAIL
// otherwise, including a file that cannot be read.
HRESULT CheckXFileFraming(const char* path);
