#include "assets/generate_data.h"

#include <cstdio>
#include <filesystem>

#include "assets/backdrops.h"
#include "assets/image_files.h"
#include "assets/pictures.h"
#include "assets/scene_meshes.h"
#include "assets/themes.h"
#include "assets/xfile_writer.h"

namespace assets {
namespace {

bool WriteFile(const std::string& path, const std::string& bytes, std::string* error) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    *error = "cannot create " + path;
    return false;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = (std::fclose(f) == 0) && ok;
  if (!ok) *error = "cannot write " + path;
  return ok;
}

// The saver reads the theme file in text mode; on disk lines end in CR LF.
std::string WithCrLf(const std::string& text) {
  std::string out;
  for (char ch : text) {
    if (ch == '\n') out += '\r';
    out += ch;
  }
  return out;
}

bool WriteMeshes(const std::string& dir, std::string* error) {
  struct Entry {
    const char* file;
    MeshData mesh;
  };
  const Entry entries[] = {
      {"object2n.x", BuildPictureMesh(1.0f)},
      {"object2nf.x", BuildFrameMesh(1.0f)},
      {"object2.x", WithAlpha(BuildPictureMesh(kReflectionAlpha), kReflectionAlpha, "MirrorPicture")},
      {"object2f.x", WithAlpha(BuildFrameMesh(kReflectionAlpha), kReflectionAlpha, "MirrorFrame")},
      {"vrkrogla2.x", BuildBackdropSphere(kBackdropSegments, kBackdropRings)},
      {"coffeemug.x", BuildMugMesh(1.0f)},
      {"coffeemug2.x", WithAlpha(BuildMugMesh(kReflectionAlpha), kReflectionAlpha, "MirrorMug")},
  };
  for (const Entry& e : entries) {
    if (!WriteFile(dir + "/" + e.file, WriteXFileBinary(e.mesh), error)) return false;
  }
  return true;
}

bool WriteGradients(const std::string& dir, std::string* error) {
  const int size = 256;
  for (int i = 0; i < kGradientCount; ++i) {
    std::string name = dir + "/l" + std::to_string(i + 1) + ".bmp";
    if (!WriteFile(name, EncodeBmp24(size, size, PaintGradient(i, size)), error)) return false;
  }
  return true;
}

bool WritePictures(const std::string& dir, std::string* error) {
  for (int i = 0; i < kDefaultPictureCount; ++i) {
    Canvas canvas = PaintDefaultPicture(i);
    std::string jpeg = EncodeJpeg(canvas.width(), canvas.height(), ToRgb8(canvas), 90);
    std::string name = dir + "/defpic" + std::to_string(i + 1) + ".jpg";
    if (jpeg.empty()) {
      *error = "cannot encode " + name;
      return false;
    }
    if (!WriteFile(name, jpeg, error)) return false;
  }
  return true;
}

}  // namespace

bool GenerateInstallationData(const std::string& dataDir, std::string* error) {
  for (const char* sub : {"objects", "grad", "env", "defpics", "tdef"}) {
    std::error_code ec;
    std::filesystem::create_directories(dataDir + "/" + sub, ec);
    if (ec) {
      *error = "cannot create " + dataDir + "/" + sub;
      return false;
    }
  }
  return WriteMeshes(dataDir + "/objects", error) && WriteGradients(dataDir + "/grad", error) &&
         WriteFile(dataDir + "/env/env.dds", EncodeCubeMapDds(128, PaintStudioCubeFaces(128)),
                   error) &&
         WriteFile(dataDir + "/tdef/app.thm", WithCrLf(FormatThemeFile(BuiltInThemes())), error) &&
         WritePictures(dataDir + "/defpics", error);
}

}  // namespace assets
