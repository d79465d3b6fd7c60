#include "render/scene_object.h"

#include "d3dx/d3dx8_tex.h"
#include "render/scene_plan.h"
#include "render/state_sets.h"
#include "base/data_paths.h"
#include "xfile/mesh_file.h"

HRESULT LoadSceneMeshFiles(IDirect3DDevice8* device, const char* installDir, FrameNode** roots,
                           void (*reportFailure)(const char* path)) {
  InstallEnvironmentMapHooks();
  for (const SceneMeshFile& file : kSceneMeshFiles) {
    FrameNode*& root = roots[file.id];
    if (root == nullptr) root = new FrameNode(file.relativePath);
    ReleaseMeshFile(root);
    char path[1024];
    const bool fits = FormatPath(path, sizeof path, "%s\\%s", installDir, file.relativePath);
    if (!fits || FAILED(LoadMeshFile(root, device, path))) {
      // The scene goes on without it.
      if (reportFailure != nullptr) reportFailure(fits ? path : file.relativePath);
    }
  }
  return S_OK;
}

void ReleaseSceneMeshFiles(FrameNode** roots) {
  for (int i = 0; i < kSceneMeshCount; ++i) {
    if (roots[i] != nullptr) ReleaseMeshFile(roots[i]);
  }
}

IDirect3DCubeTexture8* LoadEnvironmentMap(IDirect3DDevice8* device, const char* installDir) {
  char path[1024];
  if (!FormatPath(path, sizeof path, "%s\\data\\env\\%s", installDir, "env.dds")) return nullptr;
  IDirect3DCubeTexture8* cube = nullptr;
  if (FAILED(D3DXCreateCubeTextureFromFileA(device, path, &cube))) return nullptr;
  return cube;
}

void InstallEnvironmentMapHooks() {
  environmentMapHooks.setup = SetUpEnvironmentMap;
  environmentMapHooks.reset = ResetEnvironmentMap;
}
