// Where the program's files are: data paths under the installation folder, and the per-user
// folder that takes the files a standard user cannot write into the installation folder.
#pragma once

#include <cstddef>
#include <string>

// snprintf into out; false (and out emptied) when the result would not fit.
bool FormatPath(char* out, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// "%APPDATA%\Korrin Software\Solvane 7.0", or false when the system has no such folder.
using UserDataFolderFn = bool (*)(char* out, size_t size);
extern UserDataFolderFn g_userDataFolder;
bool SystemUserDataFolder(char* out, size_t size);

// Creates every missing folder of path (a folder, not a file).
bool CreateFolderTree(const char* path);

// A file that exists (not a folder).
bool FileExists(const char* path);

// A data file the user may keep a copy of: the machine copy at machinePath (empty when it
// could not be named), the user's copy at subFolder\fileName of the user's data folder
// (subFolder may be empty).
struct DataFilePlace {
  char machinePath[520];
  const char* subFolder;
  const char* fileName;
};

// installDir\machineFolder\fileName (machineFolder may be empty) and the user's
// subFolder\fileName.
DataFilePlace PlaceDataFile(const char* installDir, const char* machineFolder,
                            const char* subFolder, const char* fileName);

// The copy to read: the user's when there is one, else the machine's. False when neither can
// be named.
bool DataFileToRead(const DataFilePlace& place, char* out, size_t size);

// Writes text to the machine copy and drops the user's, which would be read first and hide
// it; where the machine folder cannot be written, the user's copy takes the text instead.
bool WriteDataFile(const DataFilePlace& place, const std::string& text);
