#include "render/scene_object.h"

#include "base/data_paths.h"
#include "d3dx/d3dx8_tex.h"
#include "render/scene_plan.h"
#include "xfile/mesh_file.h"

HRESULT LoadSceneMeshFiles(IDirect3DDevice8* device, const char* installDir,
                           std::unique_ptr<FrameNode>* roots,
                           void (*reportFailure)(const char* path)) {
  for (const SceneMeshFile& file : kSceneMeshFiles) {
    std::unique_ptr<FrameNode>& root = roots[file.id];
    if (root == nullptr) root.reset(new FrameNode(file.relativePath));
    ReleaseMeshFile(root.get());
    char path[1024];
    const bool fits = FormatPath(path, sizeof path, "%s\\%s", installDir, file.relativePath);
    if (!fits || FAILED(LoadMeshFile(root.get(), device, path))) {
      // The scene goes on without it.
      if (reportFailure != nullptr) reportFailure(fits ? path : file.relativePath);
    }
  }
  return S_OK;
}

void ReleaseSceneMeshFiles(std::unique_ptr<FrameNode>* roots) {
  for (int i = 0; i < kSceneMeshCount; ++i) {
    if (roots[i] != nullptr) ReleaseMeshFile(roots[i].get());
  }
}

Microsoft::WRL::ComPtr<IDirect3DCubeTexture8> LoadEnvironmentMap(IDirect3DDevice8* device,
                                                                 const char* installDir) {
  Microsoft::WRL::ComPtr<IDirect3DCubeTexture8> cube;
  char path[1024];
  if (!FormatPath(path, sizeof path, "%s\\data\\env\\%s", installDir, "env.dds")) return cube;
  if (FAILED(D3DXCreateCubeTextureFromFileA(device, path, &cube))) cube.Reset();
  return cube;
}
