// Writing a file whole or not at all: the bytes go to a temporary file in the same folder,
// which is flushed to the disk and then moved over the old file. A write that fails on the
// way (a full disk, a refused folder, a pulled network cable) leaves the old file as it was.
#pragma once

#include <windows.h>

#include <string>

// The system calls of a whole-file write, replaceable so that tests can refuse a folder or
// break a write half way, as Windows does.
struct FileWriteCalls {
  HANDLE(WINAPI* createFile)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
  BOOL(WINAPI* writeFile)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
};
extern FileWriteCalls g_fileWriteCalls;  // CreateFileA and WriteFile

// Replaces (or creates) the file at path with bytes. False when the file was left as it was.
bool WriteWholeFile(const char* path, const std::string& bytes);
