// Loading the scene's meshes and the environment map of the 3D object.
#pragma once

#include <windows.h>
#include <d3d8.h>
#include <wrl/client.h>

#include <memory>

class FrameNode;

// Loads the seven mesh files below installDir into the roots (indexed by SceneMeshId; missing
// roots are created, loaded ones emptied first). A file that does not load is passed to
// reportFailure (may be null) and the others still load; the result is always S_OK.
HRESULT LoadSceneMeshFiles(IDirect3DDevice8* device, const char* installDir,
                           std::unique_ptr<FrameNode>* roots,
                           void (*reportFailure)(const char* path));

// Empties the roots (null roots are skipped).
void ReleaseSceneMeshFiles(std::unique_ptr<FrameNode>* roots);

// installDir\data\env\env.dds as a cube texture on the device, or null.
Microsoft::WRL::ComPtr<IDirect3DCubeTexture8> LoadEnvironmentMap(IDirect3DDevice8* device,
                                                                 const char* installDir);
