// Buffers and triangle meshes under the D3DX 8 names: what the mesh loader calls, nothing
// more. Meshes keep their vertices and indices in Direct3D buffers of the device they were
// made for, and their per-face attributes in memory.
#pragma once

#include <windows.h>

#include <d3d8.h>
#include <dxfile.h>

#ifndef D3DXERR_INVALIDMESH
#define D3DXERR_INVALIDMESH MAKE_DDHRESULT(2901)
#endif
#ifndef D3DXERR_INVALIDDATA
#define D3DXERR_INVALIDDATA MAKE_DDHRESULT(2905)
#endif
#ifndef D3DXERR_LOADEDMESHASNODATA
#define D3DXERR_LOADEDMESHASNODATA MAKE_DDHRESULT(2906)
#endif

enum _D3DXMESH {
  D3DXMESH_32BIT = 0x001,
  D3DXMESH_DONOTCLIP = 0x002,
  D3DXMESH_POINTS = 0x004,
  D3DXMESH_RTPATCHES = 0x008,
  D3DXMESH_NPATCHES = 0x4000,
  D3DXMESH_VB_SYSTEMMEM = 0x010,
  D3DXMESH_VB_MANAGED = 0x020,
  D3DXMESH_VB_WRITEONLY = 0x040,
  D3DXMESH_VB_DYNAMIC = 0x080,
  D3DXMESH_VB_SOFTWAREPROCESSING = 0x8000,
  D3DXMESH_IB_SYSTEMMEM = 0x100,
  D3DXMESH_IB_MANAGED = 0x200,
  D3DXMESH_IB_WRITEONLY = 0x400,
  D3DXMESH_IB_DYNAMIC = 0x800,
  D3DXMESH_IB_SOFTWAREPROCESSING = 0x10000,
  D3DXMESH_VB_SHARE = 0x1000,
  D3DXMESH_USEHWONLY = 0x2000,
  D3DXMESH_SYSTEMMEM = 0x110,
  D3DXMESH_MANAGED = 0x220,
  D3DXMESH_WRITEONLY = 0x440,
  D3DXMESH_DYNAMIC = 0x880,
  D3DXMESH_SOFTWAREPROCESSING = 0x18000,
};

enum _D3DXMESHOPT {
  D3DXMESHOPT_COMPACT = 0x01000000,
  D3DXMESHOPT_ATTRSORT = 0x02000000,
  D3DXMESHOPT_VERTEXCACHE = 0x04000000,
  D3DXMESHOPT_STRIPREORDER = 0x08000000,
  D3DXMESHOPT_IGNOREVERTS = 0x10000000,
  D3DXMESHOPT_SHAREVB = 0x1000,
};

typedef struct _D3DXATTRIBUTERANGE {
  DWORD AttribId;
  DWORD FaceStart;
  DWORD FaceCount;
  DWORD VertexStart;
  DWORD VertexCount;
} D3DXATTRIBUTERANGE, *LPD3DXATTRIBUTERANGE;

typedef struct _D3DXMATERIAL {
  D3DMATERIAL8 MatD3D;
  LPSTR pTextureFilename;  // null when the material names no texture
} D3DXMATERIAL, *LPD3DXMATERIAL;

// Interface ids (defined in the system's GUID library).
extern const GUID IID_ID3DXBuffer;
extern const GUID IID_ID3DXMesh;

// A block of bytes handed out by the library (adjacency, materials, remaps).
struct ID3DXBuffer : public IUnknown {
  virtual LPVOID STDMETHODCALLTYPE GetBufferPointer() = 0;
  virtual DWORD STDMETHODCALLTYPE GetBufferSize() = 0;
};
typedef ID3DXBuffer* LPD3DXBUFFER;

struct ID3DXMesh;
typedef ID3DXMesh* LPD3DXMESH;

// An indexed triangle list with one attribute (subset id) per face.
struct ID3DXMesh : public IUnknown {
  // Draws the faces whose attribute is attribId with the device's current states.
  virtual HRESULT STDMETHODCALLTYPE DrawSubset(DWORD attribId) = 0;
  virtual DWORD STDMETHODCALLTYPE GetNumFaces() = 0;
  virtual DWORD STDMETHODCALLTYPE GetNumVertices() = 0;
  virtual DWORD STDMETHODCALLTYPE GetFVF() = 0;
  virtual DWORD STDMETHODCALLTYPE GetOptions() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDevice(LPDIRECT3DDEVICE8* device) = 0;
  // Copy with another vertex format; components the source lacks are zero (diffuse: white).
  virtual HRESULT STDMETHODCALLTYPE CloneMeshFVF(DWORD options, DWORD fvf, LPDIRECT3DDEVICE8 device,
                                                 LPD3DXMESH* mesh) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetVertexBuffer(LPDIRECT3DVERTEXBUFFER8* buffer) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetIndexBuffer(LPDIRECT3DINDEXBUFFER8* buffer) = 0;
  virtual HRESULT STDMETHODCALLTYPE LockVertexBuffer(DWORD flags, BYTE** data) = 0;
  virtual HRESULT STDMETHODCALLTYPE UnlockVertexBuffer() = 0;
  virtual HRESULT STDMETHODCALLTYPE LockIndexBuffer(DWORD flags, BYTE** data) = 0;
  virtual HRESULT STDMETHODCALLTYPE UnlockIndexBuffer() = 0;
  // With table null, size receives the entry count; else up to *size entries are written.
  virtual HRESULT STDMETHODCALLTYPE GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) = 0;
  virtual HRESULT STDMETHODCALLTYPE LockAttributeBuffer(DWORD flags, DWORD** data) = 0;
  virtual HRESULT STDMETHODCALLTYPE UnlockAttributeBuffer() = 0;
  // COMPACT, ATTRSORT and VERTEXCACHE; the outputs (three DWORDs per face for adjacency,
  // one per face for the face remap, new -> old) may be null.
  virtual HRESULT STDMETHODCALLTYPE OptimizeInplace(DWORD flags, const DWORD* adjacencyIn,
                                                    DWORD* adjacencyOut, DWORD* faceRemap,
                                                    LPD3DXBUFFER* vertexRemap) = 0;
};

HRESULT WINAPI D3DXCreateBuffer(DWORD numBytes, LPD3DXBUFFER* buffer);

// Bytes per vertex of a vertex format (0 for a format the library does not handle).
UINT WINAPI D3DXGetFVFVertexSize(DWORD fvf);

// An empty mesh: vertex buffer, 16-bit index buffer (32-bit with D3DXMESH_32BIT), zero
// attributes.
HRESULT WINAPI D3DXCreateMeshFVF(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf,
                                 LPDIRECT3DDEVICE8 device, LPD3DXMESH* mesh);

// Builds a mesh from a Mesh data object and its MeshNormals, MeshTextureCoords,
// MeshVertexColors and MeshMaterialList children. Materials come back as D3DXMATERIAL
// records (texture names point into the same buffer); adjacency as three DWORDs per face.
HRESULT WINAPI D3DXLoadMeshFromXof(LPDIRECTXFILEDATA xofMesh, DWORD options,
                                   LPDIRECT3DDEVICE8 device, LPD3DXBUFFER* adjacency,
                                   LPD3DXBUFFER* materials, DWORD* numMaterials, LPD3DXMESH* mesh);
