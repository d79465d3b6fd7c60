// Small stand-ins for Direct3D 8 where a test must force a result: adapters with chosen modes
// and capabilities, refused CreateDevice calls, lost devices and failing resets. Both objects
// derive from the platform's interfaces, so the host calls them exactly as the real ones.
#pragma once

#include <windows.h>
#include <d3d8.h>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace fake_d3d {

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"

class FakeDevice : public IDirect3DDevice8 {
 public:
  explicit FakeDevice(const D3DPRESENT_PARAMETERS& params) : createParams(params) {}
  virtual ~FakeDevice() = default;

  HRESULT cooperativeLevel = D3D_OK;
  HRESULT resetResult = D3D_OK;
  int resets = 0;
  int presents = 0;
  D3DPRESENT_PARAMETERS createParams;
  D3DPRESENT_PARAMETERS resetParams = {};
  ULONG refs = 1;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return refs > 0 ? --refs : 0; }
  HRESULT STDMETHODCALLTYPE TestCooperativeLevel() override { return cooperativeLevel; }
  HRESULT STDMETHODCALLTYPE Reset(D3DPRESENT_PARAMETERS* params) override {
    ++resets;
    resetParams = *params;
    return resetResult;
  }
  HRESULT STDMETHODCALLTYPE Present(const RECT*, const RECT*, HWND, const RGNDATA*) override {
    ++presents;
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE GetBackBuffer(UINT, D3DBACKBUFFER_TYPE,
                                          IDirect3DSurface8** surface) override {
    *surface = nullptr;
    return E_NOTIMPL;
  }
  // Everything else the host never calls.
  UINT STDMETHODCALLTYPE GetAvailableTextureMem() override { return 0; }
  HRESULT STDMETHODCALLTYPE ResourceManagerDiscardBytes(DWORD Bytes) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDirect3D(IDirect3D8 ** ppD3D8) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDeviceCaps(D3DCAPS8 * pCaps) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDisplayMode(D3DDISPLAYMODE * pMode) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS * pParameters) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetCursorProperties(UINT XHotSpot, UINT YHotSpot, IDirect3DSurface8 * pCursorBitmap) override { return E_NOTIMPL; }
  void STDMETHODCALLTYPE SetCursorPosition(UINT XScreenSpace, UINT YScreenSpace,DWORD Flags) override {  }
  WINBOOL STDMETHODCALLTYPE ShowCursor(WINBOOL bShow) override { return FALSE; }
  HRESULT STDMETHODCALLTYPE CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS * pPresentationParameters, IDirect3DSwapChain8 ** pSwapChain) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetRasterStatus(D3DRASTER_STATUS * pRasterStatus) override { return E_NOTIMPL; }
  void STDMETHODCALLTYPE SetGammaRamp(DWORD flags, const D3DGAMMARAMP *ramp) override {  }
  void STDMETHODCALLTYPE GetGammaRamp(D3DGAMMARAMP * pRamp) override {  }
  HRESULT STDMETHODCALLTYPE CreateTexture(UINT Width,UINT Height,UINT Levels,DWORD Usage,D3DFORMAT Format,D3DPOOL Pool,IDirect3DTexture8 ** ppTexture) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateVolumeTexture(UINT Width,UINT Height,UINT Depth,UINT Levels,DWORD Usage,D3DFORMAT Format,D3DPOOL Pool,IDirect3DVolumeTexture8 ** ppVolumeTexture) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateCubeTexture(UINT EdgeLength,UINT Levels,DWORD Usage,D3DFORMAT Format,D3DPOOL Pool,IDirect3DCubeTexture8 ** ppCubeTexture) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateVertexBuffer(UINT Length,DWORD Usage,DWORD FVF,D3DPOOL Pool,IDirect3DVertexBuffer8 ** ppVertexBuffer) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateIndexBuffer(UINT Length,DWORD Usage,D3DFORMAT Format,D3DPOOL Pool,IDirect3DIndexBuffer8 ** ppIndexBuffer) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateRenderTarget(UINT Width,UINT Height,D3DFORMAT Format,D3DMULTISAMPLE_TYPE MultiSample,WINBOOL Lockable,IDirect3DSurface8 ** ppSurface) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateDepthStencilSurface(UINT Width,UINT Height,D3DFORMAT Format,D3DMULTISAMPLE_TYPE MultiSample,IDirect3DSurface8 ** ppSurface) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateImageSurface(UINT Width,UINT Height,D3DFORMAT Format,IDirect3DSurface8 ** ppSurface) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyRects(IDirect3DSurface8 *src_surface, const RECT *src_rects, UINT rect_count, IDirect3DSurface8 *dst_surface, const POINT *dst_points) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UpdateTexture(IDirect3DBaseTexture8 * pSourceTexture,IDirect3DBaseTexture8 * pDestinationTexture) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetFrontBuffer(IDirect3DSurface8 * pDestSurface) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetRenderTarget(IDirect3DSurface8 * pRenderTarget,IDirect3DSurface8 * pNewZStencil) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetRenderTarget(IDirect3DSurface8 ** ppRenderTarget) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDepthStencilSurface(IDirect3DSurface8 ** ppZStencilSurface) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BeginScene() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EndScene() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clear(DWORD rect_count, const D3DRECT *rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX *matrix) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTransform(D3DTRANSFORMSTATETYPE State,D3DMATRIX * pMatrix) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE MultiplyTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX *matrix) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetViewport(const D3DVIEWPORT8 *viewport) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetViewport(D3DVIEWPORT8 * pViewport) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMaterial(const D3DMATERIAL8 *material) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMaterial(D3DMATERIAL8 *pMaterial) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetLight(DWORD index, const D3DLIGHT8 *light) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetLight(DWORD Index,D3DLIGHT8 * pLight) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LightEnable(DWORD Index,WINBOOL Enable) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetLightEnable(DWORD Index,WINBOOL * pEnable) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetClipPlane(DWORD index, const float *plane) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetClipPlane(DWORD Index,float * pPlane) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE State,DWORD Value) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetRenderState(D3DRENDERSTATETYPE State,DWORD * pValue) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BeginStateBlock() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EndStateBlock(DWORD * pToken) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ApplyStateBlock(DWORD Token) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CaptureStateBlock(DWORD Token) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeleteStateBlock(DWORD Token) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateStateBlock(D3DSTATEBLOCKTYPE Type,DWORD * pToken) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetClipStatus(const D3DCLIPSTATUS8 *clip_status) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetClipStatus(D3DCLIPSTATUS8 * pClipStatus) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTexture(DWORD Stage,IDirect3DBaseTexture8 ** ppTexture) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetTexture(DWORD Stage,IDirect3DBaseTexture8 * pTexture) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTextureStageState(DWORD Stage,D3DTEXTURESTAGESTATETYPE Type,DWORD * pValue) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetTextureStageState(DWORD Stage,D3DTEXTURESTAGESTATETYPE Type,DWORD Value) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ValidateDevice(DWORD * pNumPasses) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetInfo(DWORD DevInfoID,void * pDevInfoStruct,DWORD DevInfoStructSize) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetPaletteEntries(UINT palette_idx, const PALETTEENTRY *entries) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPaletteEntries(UINT PaletteNumber,PALETTEENTRY * pEntries) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetCurrentTexturePalette(UINT PaletteNumber) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCurrentTexturePalette(UINT * PaletteNumber) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType,UINT StartVertex,UINT PrimitiveCount) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType,UINT minIndex,UINT NumVertices,UINT startIndex,UINT primCount) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DrawPrimitiveUP(D3DPRIMITIVETYPE primitive_type, UINT primitive_count, const void *data, UINT stride) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE primitive_type, UINT min_vertex_idx, UINT vertex_count, UINT primitive_count, const void *index_data, D3DFORMAT index_format, const void *data, UINT stride) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ProcessVertices(UINT SrcStartIndex,UINT DestIndex,UINT VertexCount,IDirect3DVertexBuffer8 * pDestBuffer,DWORD Flags) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateVertexShader(const DWORD *declaration, const DWORD *byte_code, DWORD *shader, DWORD usage) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetVertexShader(DWORD Handle) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVertexShader(DWORD * pHandle) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeleteVertexShader(DWORD Handle) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetVertexShaderConstant(DWORD reg_idx, const void *data, DWORD count) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVertexShaderConstant(DWORD Register,void * pConstantData,DWORD ConstantCount) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVertexShaderDeclaration(DWORD Handle,void * pData,DWORD * pSizeOfData) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVertexShaderFunction(DWORD Handle,void * pData,DWORD * pSizeOfData) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStreamSource(UINT StreamNumber,IDirect3DVertexBuffer8 * pStreamData,UINT Stride) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetStreamSource(UINT StreamNumber,IDirect3DVertexBuffer8 ** ppStreamData,UINT * pStride) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetIndices(IDirect3DIndexBuffer8 * pIndexData,UINT BaseVertexIndex) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIndices(IDirect3DIndexBuffer8 ** ppIndexData,UINT * pBaseVertexIndex) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreatePixelShader(const DWORD *byte_code, DWORD *shader) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetPixelShader(DWORD Handle) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPixelShader(DWORD * pHandle) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeletePixelShader(DWORD Handle) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetPixelShaderConstant(DWORD reg_idx, const void *data, DWORD count) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPixelShaderConstant(DWORD Register,void * pConstantData,DWORD ConstantCount) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPixelShaderFunction(DWORD Handle,void * pData,DWORD * pSizeOfData) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DrawRectPatch(UINT handle, const float *segment_count, const D3DRECTPATCH_INFO *patch_info) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DrawTriPatch(UINT handle, const float *segment_count, const D3DTRIPATCH_INFO *patch_info) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeletePatch(UINT Handle) override { return E_NOTIMPL; }
};

struct FakeAdapter {
  D3DDISPLAYMODE desktop = {1024, 768, 60, D3DFMT_X8R8G8B8};
  std::vector<D3DDISPLAYMODE> modes;
  HMONITOR monitor = nullptr;
  GUID deviceId = {};
  const char* description = "Fake Adapter";
};

struct DeviceTypeSetup {
  bool available = false;  // CheckDeviceType succeeds for the adapter's formats
  DWORD devCaps = 0;
  DWORD caps2 = D3DCAPS2_CANRENDERWINDOWED;
};

struct CreateCall {
  UINT adapter;
  D3DDEVTYPE type;
  HWND focus;
  DWORD behavior;
  D3DPRESENT_PARAMETERS params;
};

class FakeDirect3D : public IDirect3D8 {
 public:
  FakeDirect3D() {
    hal.available = true;
    hal.devCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
  }
  virtual ~FakeDirect3D() = default;

  std::vector<FakeAdapter> adapters;
  DeviceTypeSetup hal, sw, ref;
  // Per (type, format) refusal of CheckDeviceType on top of `available`.
  std::function<bool(D3DDEVTYPE, D3DFORMAT display, D3DFORMAT back, BOOL windowed)>
      deviceTypeOk = [](D3DDEVTYPE, D3DFORMAT, D3DFORMAT, BOOL) { return true; };
  std::function<bool(D3DFORMAT depth)> depthOk = [](D3DFORMAT) { return true; };
  // Decides each CreateDevice; the default accepts everything.
  std::function<HRESULT(const CreateCall&)> createResult = [](const CreateCall&) {
    return D3D_OK;
  };

  std::vector<CreateCall> createCalls;
  std::vector<D3DFORMAT> depthChecks;
  std::vector<std::unique_ptr<FakeDevice>> devices;
  ULONG refs = 1;

  const DeviceTypeSetup& Setup(D3DDEVTYPE type) const {
    return type == D3DDEVTYPE_HAL ? hal : type == D3DDEVTYPE_SW ? sw : ref;
  }
  int LiveDevices() const {
    int live = 0;
    for (const auto& device : devices) live += device->refs > 0 ? 1 : 0;
    return live;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return refs > 0 ? --refs : 0; }
  HRESULT STDMETHODCALLTYPE RegisterSoftwareDevice(void*) override { return E_NOTIMPL; }
  UINT STDMETHODCALLTYPE GetAdapterCount() override { return static_cast<UINT>(adapters.size()); }
  HRESULT STDMETHODCALLTYPE GetAdapterIdentifier(UINT a, DWORD,
                                                 D3DADAPTER_IDENTIFIER8* id) override {
    if (a >= adapters.size()) return D3DERR_INVALIDCALL;
    std::memset(id, 0, sizeof *id);
    std::strncpy(id->Description, adapters[a].description, sizeof id->Description - 1);
    id->DeviceIdentifier = adapters[a].deviceId;
    return D3D_OK;
  }
  UINT STDMETHODCALLTYPE GetAdapterModeCount(UINT a) override {
    return a < adapters.size() ? static_cast<UINT>(adapters[a].modes.size()) : 0;
  }
  HRESULT STDMETHODCALLTYPE EnumAdapterModes(UINT a, UINT m, D3DDISPLAYMODE* mode) override {
    if (a >= adapters.size() || m >= adapters[a].modes.size()) return D3DERR_INVALIDCALL;
    *mode = adapters[a].modes[m];
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE GetAdapterDisplayMode(UINT a, D3DDISPLAYMODE* mode) override {
    if (a >= adapters.size()) return D3DERR_INVALIDCALL;
    *mode = adapters[a].desktop;
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE CheckDeviceType(UINT a, D3DDEVTYPE type, D3DFORMAT display,
                                            D3DFORMAT back, BOOL windowed) override {
    if (a >= adapters.size() || !Setup(type).available) return D3DERR_NOTAVAILABLE;
    return deviceTypeOk(type, display, back, windowed) ? D3D_OK : D3DERR_NOTAVAILABLE;
  }
  HRESULT STDMETHODCALLTYPE CheckDeviceFormat(UINT, D3DDEVTYPE, D3DFORMAT, DWORD usage,
                                              D3DRESOURCETYPE, D3DFORMAT format) override {
    if (usage != D3DUSAGE_DEPTHSTENCIL) return D3DERR_NOTAVAILABLE;
    depthChecks.push_back(format);
    return depthOk(format) ? D3D_OK : D3DERR_NOTAVAILABLE;
  }
  HRESULT STDMETHODCALLTYPE CheckDeviceMultiSampleType(UINT, D3DDEVTYPE, D3DFORMAT, BOOL,
                                                       D3DMULTISAMPLE_TYPE) override {
    return D3DERR_NOTAVAILABLE;
  }
  HRESULT STDMETHODCALLTYPE CheckDepthStencilMatch(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT,
                                                   D3DFORMAT depth) override {
    return depthOk(depth) ? D3D_OK : D3DERR_NOTAVAILABLE;
  }
  HRESULT STDMETHODCALLTYPE GetDeviceCaps(UINT a, D3DDEVTYPE type, D3DCAPS8* caps) override {
    std::memset(caps, 0, sizeof *caps);
    if (a >= adapters.size() || !Setup(type).available) return D3DERR_NOTAVAILABLE;
    caps->DeviceType = type;
    caps->AdapterOrdinal = a;
    caps->DevCaps = Setup(type).devCaps;
    caps->Caps2 = Setup(type).caps2;
    return D3D_OK;
  }
  HMONITOR STDMETHODCALLTYPE GetAdapterMonitor(UINT a) override {
    return a < adapters.size() ? adapters[a].monitor : nullptr;
  }
  HRESULT STDMETHODCALLTYPE CreateDevice(UINT a, D3DDEVTYPE type, HWND focus, DWORD behavior,
                                         D3DPRESENT_PARAMETERS* params,
                                         IDirect3DDevice8** device) override {
    *device = nullptr;
    const CreateCall call = {a, type, focus, behavior, *params};
    createCalls.push_back(call);
    const HRESULT hr = createResult(call);
    if (FAILED(hr)) return hr;
    devices.push_back(std::make_unique<FakeDevice>(*params));
    *device = devices.back().get();
    return D3D_OK;
  }
};

#pragma GCC diagnostic pop

inline D3DDISPLAYMODE Mode(UINT width, UINT height, D3DFORMAT format, UINT refresh = 60) {
  return {width, height, refresh, format};
}

}  // namespace fake_d3d
