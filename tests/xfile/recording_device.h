// A device without a GPU for loader and draw tests: vertex and index buffers live in memory,
// and the calls a mesh draw depends on are recorded in order.
#pragma once

#include <string>
#include <vector>

#include "d3dx/d3dx8_math.h"
#include "tests/support/null_device.h"

struct DeviceEvent {
  enum Kind { kWorld, kRenderState, kStageState, kMaterial, kDraw, kStream };
  Kind kind;
  DWORD state = 0;  // render or stage state
  DWORD value = 0;
  D3DXMATRIX matrix;             // kWorld; for kDraw the world in effect
  D3DMATERIAL8 material;         // kMaterial; for kDraw the material in effect
  const void* buffer = nullptr;  // kStream; for kDraw the bound vertex buffer
  UINT primitives = 0;           // kDraw
};

class RecordingDevice : public NullDevice {
 public:
  RecordingDevice();

  std::vector<DeviceEvent> events;
  // Vertex buffers in creation order, to tell meshes apart in kDraw events.
  std::vector<const void*> vertexBuffers;
  bool failBufferCreation = false;

  std::vector<DeviceEvent> Draws() const;
  // The last value set for a render state, or defaultValue.
  DWORD RenderState(D3DRENDERSTATETYPE state, DWORD defaultValue = 0) const;

  HRESULT STDMETHODCALLTYPE CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                               IDirect3DVertexBuffer8** buffer) override;
  HRESULT STDMETHODCALLTYPE CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format,
                                              D3DPOOL pool,
                                              IDirect3DIndexBuffer8** buffer) override;
  HRESULT STDMETHODCALLTYPE SetTransform(D3DTRANSFORMSTATETYPE state,
                                         const D3DMATRIX* matrix) override;
  HRESULT STDMETHODCALLTYPE GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
  HRESULT STDMETHODCALLTYPE SetMaterial(const D3DMATERIAL8* material) override;
  HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
  HRESULT STDMETHODCALLTYPE SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                                 DWORD value) override;
  HRESULT STDMETHODCALLTYPE SetVertexShader(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetStreamSource(UINT stream, IDirect3DVertexBuffer8* data,
                                            UINT stride) override;
  HRESULT STDMETHODCALLTYPE SetIndices(IDirect3DIndexBuffer8*, UINT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex,
                                                 UINT numVertices, UINT startIndex,
                                                 UINT primitiveCount) override;

 private:
  D3DXMATRIX world_;
  D3DMATERIAL8 material_ = {};
  const void* stream_ = nullptr;
};
