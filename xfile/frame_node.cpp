#include "xfile/frame_node.h"

#include "base/safe_release.h"
#include "base/text_copy.h"

MeshObject::MeshObject(const char* objectName) {
  name[0] = '\0';
  CopyText(name, objectName != nullptr ? objectName : "", sizeof(name));
}

MeshObject::~MeshObject() { ReleaseDeviceObjects(); }

void MeshObject::ReleaseDeviceObjects() {
  SafeRelease(mesh);
  if (textures != nullptr) {
    for (uint32_t i = 0; i < numMaterials; ++i) SafeRelease(textures[i]);
  }
  delete[] textures;
  textures = nullptr;
  delete[] materials;
  materials = nullptr;
  numMaterials = 0;
}

FrameNode::FrameNode(const char* frameName) {
  name[0] = '\0';
  CopyText(name, frameName != nullptr ? frameName : "", sizeof(name));
  D3DXMatrixIdentity(&transform);
}

FrameNode::~FrameNode() {
  delete mesh;
  delete firstChild;
  // The sibling chain is freed in a loop: a file may hold thousands of frames side by side,
  // and one destructor call per sibling would run the stack out.
  FrameNode* sibling = nextSibling;
  nextSibling = nullptr;
  while (sibling != nullptr) {
    FrameNode* next = sibling->nextSibling;
    sibling->nextSibling = nullptr;
    delete sibling;
    sibling = next;
  }
}
