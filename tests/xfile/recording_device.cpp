#include "tests/xfile/recording_device.h"

#include <cstring>

#pragma GCC diagnostic ignored "-Wunused-parameter"

namespace {

// A vertex or index buffer in memory.
template <typename Interface, typename Desc>
class MemoryBuffer final : public Interface {
 public:
  explicit MemoryBuffer(UINT length) : bytes_(length) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice8**) override { return D3DERR_INVALIDCALL; }
  HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID, const void*, DWORD, DWORD) override {
    return D3DERR_INVALIDCALL;
  }
  HRESULT STDMETHODCALLTYPE GetPrivateData(REFGUID, void*, DWORD*) override {
    return D3DERR_INVALIDCALL;
  }
  HRESULT STDMETHODCALLTYPE FreePrivateData(REFGUID) override { return D3DERR_INVALIDCALL; }
  DWORD STDMETHODCALLTYPE SetPriority(DWORD) override { return 0; }
  DWORD STDMETHODCALLTYPE GetPriority() override { return 0; }
  void STDMETHODCALLTYPE PreLoad() override {}
  D3DRESOURCETYPE STDMETHODCALLTYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
  HRESULT STDMETHODCALLTYPE Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override {
    if (offset > bytes_.size()) return D3DERR_INVALIDCALL;
    *data = bytes_.data() + offset;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Unlock() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetDesc(Desc* desc) override {
    std::memset(desc, 0, sizeof(*desc));
    desc->Size = static_cast<UINT>(bytes_.size());
    return S_OK;
  }

 private:
  std::vector<BYTE> bytes_;
  ULONG references_ = 1;
};

DeviceEvent Event(DeviceEvent::Kind kind) {
  DeviceEvent e;
  e.kind = kind;
  D3DXMatrixIdentity(&e.matrix);
  e.material = D3DMATERIAL8{};
  return e;
}

}  // namespace

RecordingDevice::RecordingDevice() { D3DXMatrixIdentity(&world_); }

std::vector<DeviceEvent> RecordingDevice::Draws() const {
  std::vector<DeviceEvent> draws;
  for (const DeviceEvent& e : events)
    if (e.kind == DeviceEvent::kDraw) draws.push_back(e);
  return draws;
}

DWORD RecordingDevice::RenderState(D3DRENDERSTATETYPE state, DWORD defaultValue) const {
  DWORD value = defaultValue;
  for (const DeviceEvent& e : events)
    if (e.kind == DeviceEvent::kRenderState && e.state == static_cast<DWORD>(state))
      value = e.value;
  return value;
}

HRESULT RecordingDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                            IDirect3DVertexBuffer8** buffer) {
  if (failBufferCreation) return E_OUTOFMEMORY;
  auto* created = new MemoryBuffer<IDirect3DVertexBuffer8, D3DVERTEXBUFFER_DESC>(length);
  vertexBuffers.push_back(created);
  *buffer = created;
  return S_OK;
}

HRESULT RecordingDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                           IDirect3DIndexBuffer8** buffer) {
  if (failBufferCreation) return E_OUTOFMEMORY;
  *buffer = new MemoryBuffer<IDirect3DIndexBuffer8, D3DINDEXBUFFER_DESC>(length);
  return S_OK;
}

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  if (state != D3DTS_WORLD) return S_OK;
  world_ = *matrix;
  DeviceEvent e = Event(DeviceEvent::kWorld);
  e.matrix = world_;
  events.push_back(e);
  return S_OK;
}

HRESULT RecordingDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
  if (state != D3DTS_WORLD) return D3DERR_INVALIDCALL;
  *matrix = world_;
  return S_OK;
}

HRESULT RecordingDevice::SetMaterial(const D3DMATERIAL8* material) {
  material_ = *material;
  DeviceEvent e = Event(DeviceEvent::kMaterial);
  e.material = material_;
  events.push_back(e);
  return S_OK;
}

HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  DeviceEvent e = Event(DeviceEvent::kRenderState);
  e.state = state;
  e.value = value;
  events.push_back(e);
  return S_OK;
}

HRESULT RecordingDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                              DWORD value) {
  DeviceEvent e = Event(DeviceEvent::kStageState);
  e.state = stage * 1000 + type;
  e.value = value;
  events.push_back(e);
  return S_OK;
}

HRESULT RecordingDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer8* data, UINT stride) {
  stream_ = data;
  return S_OK;
}

HRESULT RecordingDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex,
                                              UINT numVertices, UINT startIndex,
                                              UINT primitiveCount) {
  DeviceEvent e = Event(DeviceEvent::kDraw);
  e.matrix = world_;
  e.material = material_;
  e.buffer = stream_;
  e.primitives = primitiveCount;
  events.push_back(e);
  return S_OK;
}
