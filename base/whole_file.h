// Files read and written whole. A write goes to a temporary file in the same folder, which is
// flushed to the disk and then moved over the old file: a write that fails on the way (a full
// disk, a refused folder, a pulled network cable) leaves the old file as it was.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// The system calls of a whole-file write, replaceable so that tests can refuse a folder or
// break a write half way, as Windows does.
struct FileWriteCalls {
  HANDLE(WINAPI* createFile)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
  BOOL(WINAPI* writeFile)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
};
extern FileWriteCalls g_fileWriteCalls;  // CreateFileA and WriteFile

// Replaces (or creates) the file at path with bytes. False when the file was left as it was.
bool WriteWholeFile(const char* path, const std::string& bytes);

// The whole file at path into bytes (an empty file gives no bytes). A file larger than
// maxBytes is refused before anything is allocated. Failures, with bytes left empty: the
// open's error as HRESULT_FROM_WIN32 for a file that cannot be opened, E_OUTOFMEMORY for one
// above maxBytes or beyond the memory, E_FAIL for one whose size or contents cannot be read.
// The file is read a megabyte at a time; once `keepGoing` (may be null) turns false the read
// stops between pieces with E_ABORT.
HRESULT ReadWholeFile(const char* path, uint64_t maxBytes, std::vector<uint8_t>& bytes,
                      const std::atomic<bool>* keepGoing = nullptr);
