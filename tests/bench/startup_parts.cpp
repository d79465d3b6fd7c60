// Where the start-up time of /t goes: the steps the saver takes up to its first presented
// frame, run in this process in the saver's order and timed one by one, beside the cost of
// starting an empty process under Wine.
//
//   startup_parts /t              prints one line per step: "<step> <ms>"
//   startup_parts /t empty        ends at once (the empty process the first line times)
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "base/com_ptr.h"
#include "base/xfile_guids.h"
#include "d3dx/d3dx8_mesh.h"
#include "host/direct3d_loader.h"
#include "host/host_clock.h"
#include "render/scene_object.h"
#include "render/scene_plan.h"
#include "show/picture_list.h"
#include "show/picture_list.h"
#include "support/safe_release.h"
#include "xfile/xfile_templates.h"
#include <dxfile.h>
#include "show/show_app.h"
#include "support/host_exposed.h"
#include "show/show_settings.h"
#include "support/saver_process.h"

using testing_support::NowMs;

namespace {

double SinceProcessCreation() {
  FILETIME created, exited, kernel, user, now;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  GetSystemTimeAsFileTime(&now);
  const auto ticks = [](const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return double(ticks(now) - ticks(created)) / 10000.0;
}

double EmptyProcessMs() {
  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, sizeof program);
  const double start = NowMs();
  testing_support::SaverProcess empty(program, "/t empty");
  if (!empty.started()) return -1.0;
  empty.WaitForExit(30000);
  return NowMs() - start;
}

class StepClock {
 public:
  void Step(const char* name) {
    const double now = NowMs();
    std::printf("%-44s %8.1f\n", name, now - last_);
    last_ = now;
  }

 private:
  double last_ = NowMs();
};

// One mesh file: DirectX File's parse alone, then each mesh's load, optimisation and clone.
void WalkObject(IDirect3DDevice8* device, IDirectXFileData* object, double times[3]) {
  const GUID* type = nullptr;
  object->GetType(&type);
  if (type != nullptr && *type == TID_D3DRMMesh && device != nullptr) {
    double t = NowMs();
    ID3DXMesh* mesh = nullptr;
    LPD3DXBUFFER adjacency = nullptr, materials = nullptr;
    DWORD count = 0;
    if (SUCCEEDED(D3DXLoadMeshFromXof(object, D3DXMESH_SYSTEMMEM, device, &adjacency,
                                      &materials, &count, &mesh))) {
      times[0] += NowMs() - t;
      t = NowMs();
      mesh->OptimizeInplace(D3DXMESHOPT_COMPACT | D3DXMESHOPT_ATTRSORT | D3DXMESHOPT_VERTEXCACHE,
                            static_cast<const DWORD*>(adjacency->GetBufferPointer()), nullptr,
                            nullptr, nullptr);
      times[1] += NowMs() - t;
      t = NowMs();
      ID3DXMesh* clone = nullptr;
      mesh->CloneMeshFVF(D3DXMESH_MANAGED,
                         D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1, device,
                         &clone);
      times[2] += NowMs() - t;
      SafeRelease(clone);
    }
    SafeRelease(mesh);
    SafeRelease(adjacency);
    SafeRelease(materials);
    return;
  }
  for (;;) {
    IDirectXFileObject* child = nullptr;
    if (FAILED(object->GetNextObject(&child)) || child == nullptr) break;
    IDirectXFileData* data = nullptr;
    if (SUCCEEDED(child->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void**>(&data))) &&
        data != nullptr) {
      WalkObject(device, data, times);
      SafeRelease(data);
    }
    SafeRelease(child);
  }
}

void TimeMeshFile(IDirect3DDevice8* device, const char* installDir, const char* relativePath) {
  char path[1024];
  std::snprintf(path, sizeof path, "%s\\%s", installDir, relativePath);
  for (int withMeshes = 0; withMeshes < 2; ++withMeshes) {
    const double start = NowMs();
    double times[3] = {0, 0, 0};
    IDirectXFile* file = nullptr;
    DirectXFileCreate(&file);
    file->RegisterTemplates(const_cast<char*>(XFileTemplates), DWORD(XFileTemplatesSize));
    IDirectXFileEnumObject* enumerator = nullptr;
    file->CreateEnumObject(path, DXFILELOAD_FROMFILE, &enumerator);
    for (IDirectXFileData* object = nullptr;
         enumerator != nullptr && SUCCEEDED(enumerator->GetNextDataObject(&object)) && object;
         object = nullptr) {
      WalkObject(withMeshes ? device : nullptr, object, times);
      SafeRelease(object);
    }
    SafeRelease(enumerator);
    SafeRelease(file);
    const double total = NowMs() - start;
    if (withMeshes) {
      std::printf("%-32s  load %6.1f  optimise %6.1f  clone %6.1f\n", relativePath, times[0],
                  times[1], times[2]);
    } else {
      std::printf("%-32s  DirectX File parse alone %6.1f\n", relativePath, total);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::strcmp(argv[2], "empty") == 0) return 0;
  std::printf("%-44s %8.1f\n", "empty process, created to exit", EmptyProcessMs());
  std::printf("%-44s %8.1f\n", "this process, created to main", SinceProcessCreation());

  StepClock clock;
  Exposed<ShowApp> app;
  app.instance = GetModuleHandleA(nullptr);
  const CommandLineChoice choice = ParseCommandLine(GetCommandLineA());
  app.runMode = choice.runMode;
  app.DiscoverMonitors();
  clock.Step("monitors");
  app.CreateSaverWindows();
  clock.Step("saver window");
  app.direct3d = AdoptComPtr(g_createDirect3D(D3D_SDK_VERSION));
  clock.Step("Direct3D object");
  app.PrepareEnumeration();
  app.EnumerateAdapters();
  clock.Step("adapters, devices and modes");
  app.LoadSettings();
  LoadStartUpPictureList(app.State().InstallDir, true, app.State().PictureList);
  clock.Step("settings and picture list");
  app.PreparePasswordCheck();
  HostClock::Start();
  app.InitScene();
  clock.Step("scene set-up");
  app.SetUpOutputs();
  clock.Step("device");
  app.RenderFrame();
  clock.Step("first frame (scene preparation, pictures)");
  app.RenderFrame();
  clock.Step("second frame");
  std::printf("%-44s %8.1f\n", "total since process creation", SinceProcessCreation());

  // The first frame's parts again, now that the files are in the cache.
  app.MakeOutputCurrent(0);
  clock.Step("-");
  app.ReleaseDeviceResources();
  app.RestoreDeviceResources();
  clock.Step("again: scene meshes and light");
  LoadEnvironmentMap(app.currentDevice, app.State().InstallDir);
  clock.Step("again: environment map");
  app.LoadSlotTextures();
  clock.Step("again: four picture textures");
  app.LoadBackdropTexture();
  clock.Step("again: backdrop texture");
  for (const SceneMeshFile& file : kSceneMeshFiles) {
    TimeMeshFile(app.currentDevice, app.State().InstallDir, file.relativePath);
  }
  if (app.mainWindow != nullptr) DestroyWindow(app.mainWindow);
  return 0;
}
