// Writes the whole installation data tree (objects, grad, env, defpics, tdef) under a folder.
#pragma once

#include <string>

namespace assets {

// Creates `dataDir` and its sub-folders and writes every file. Returns false and describes
// the first failure in `error` when a folder or file cannot be written.
bool GenerateInstallationData(const std::string& dataDir, std::string* error);

}  // namespace assets
