// Build-time tool: writes the installation data into the folder given on the command line.
#include <cstdio>

#include "assets/generate_data.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_installation_data <data folder>\n");
    return 2;
  }
  std::string error;
  if (!assets::GenerateInstallationData(argv[1], &error)) {
    std::fprintf(stderr, "make_installation_data: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
