// Loading .x files into frame trees and drawing them in an opaque and a translucent pass.
#pragma once

#include <windows.h>

#include <d3d8.h>
#include <cstdint>
#include <dxfile.h>

#include "d3dx/d3dx8_math.h"
#include "d3dx/d3dx8_tex.h"
#include "xfile/frame_node.h"

// The scene's environment-map state sequences, run around each subset draw of the object
// while "RenderReflection" is on. Either may be null.
struct EnvironmentMapHooks {
  void (*setup)(IDirect3DDevice8* device, bool translucentPass) = nullptr;
  void (*reset)(IDirect3DDevice8* device) = nullptr;
};

// How a draw paints its materials: frames, pictures and backdrop take frameRgb; the 3D object
// (drawingObject 1) takes objectRgb and, with objectReflects, is wrapped in the
// environment-map hooks.
struct MeshPaint {
  uint8_t frameRgb[3] = {};
  uint8_t objectRgb[3] = {};
  bool objectReflects = false;
  int drawingObject = 0;
  EnvironmentMapHooks environment;
};

// Texture loading for materials that name a file; a failure leaves the material untextured,
// and a null loader leaves every material untextured.
using MeshTextureLoader = HRESULT (*)(IDirect3DDevice8* device, const char* path,
                                      IDirect3DTexture8** texture);

HRESULT LoadMeshFile(FrameNode* root, IDirect3DDevice8* device, const char* fileName,
                     MeshTextureLoader loadTexture = D3DXCreateTextureFromFileA);
HRESULT LoadDataObject(FrameNode* root, IDirect3DDevice8* device, IDirectXFileData* object,
                       FrameNode* parent,
                       MeshTextureLoader loadTexture = D3DXCreateTextureFromFileA);
HRESULT LoadMeshObject(IDirect3DDevice8* device, IDirectXFileData* object, FrameNode* frame,
                       MeshTextureLoader loadTexture = D3DXCreateTextureFromFileA);
HRESULT CreateMeshObject(MeshObject* meshObject, IDirect3DDevice8* device,
                         IDirectXFileData* object,
                         MeshTextureLoader loadTexture = D3DXCreateTextureFromFileA);

// world null: the device's current world transform.
HRESULT RenderMeshFile(FrameNode* root, IDirect3DDevice8* device, const D3DXMATRIX* world,
                       const MeshPaint& paint = MeshPaint());
HRESULT RenderFrameNode(FrameNode* node, IDirect3DDevice8* device, int drawOpaque,
                        int drawTranslucent, const D3DXMATRIX* parent, const MeshPaint& paint);
HRESULT RenderMeshSubsets(MeshObject* meshObject, IDirect3DDevice8* device, int drawOpaque,
                          int drawTranslucent, const MeshPaint& paint);

// Empties a tree: the root stays with its transform, without children or mesh.
HRESULT ReleaseMeshFile(FrameNode* root);
