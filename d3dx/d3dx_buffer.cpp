// The byte block object of the library.
#include <memory>
#include <new>
#include <utility>

#include "d3dx/d3dx8_mesh.h"

namespace {

class Buffer final : public ID3DXBuffer {
 public:
  Buffer(std::unique_ptr<BYTE[]> bytes, DWORD size) : bytes_(std::move(bytes)), size_(size) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_ID3DXBuffer)) {
      AddRef();
      *object = static_cast<ID3DXBuffer*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  LPVOID STDMETHODCALLTYPE GetBufferPointer() override { return bytes_.get(); }
  DWORD STDMETHODCALLTYPE GetBufferSize() override { return size_; }

 private:
  std::unique_ptr<BYTE[]> bytes_;
  DWORD size_;
  ULONG references_ = 1;
};

}  // namespace

HRESULT WINAPI D3DXCreateBuffer(DWORD numBytes, LPD3DXBUFFER* buffer) {
  if (buffer == nullptr) return D3DERR_INVALIDCALL;
  *buffer = nullptr;
  // Zero-filled, so material records and texture names start cleared.
  std::unique_ptr<BYTE[]> bytes(new (std::nothrow) BYTE[numBytes > 0 ? numBytes : 1]());
  if (bytes == nullptr) return E_OUTOFMEMORY;
  // The bytes move into the object only once it is allocated.
  Buffer* object = new (std::nothrow) Buffer(std::move(bytes), numBytes);
  if (object == nullptr) return E_OUTOFMEMORY;
  *buffer = object;
  return S_OK;
}
