#include "xfile/frame_node.h"

#include <utility>

#include "base/text_copy.h"

MeshObject::MeshObject(const char* objectName) {
  name[0] = '\0';
  CopyText(name, objectName != nullptr ? objectName : "", sizeof(name));
}

MeshObject::~MeshObject() { ReleaseDeviceObjects(); }

void MeshObject::ReleaseDeviceObjects() {
  mesh.Reset();
  textures.reset();
  materials.reset();
  numMaterials = 0;
}

FrameNode::FrameNode(const char* frameName) {
  name[0] = '\0';
  CopyText(name, frameName != nullptr ? frameName : "", sizeof(name));
  D3DXMatrixIdentity(&transform);
}

FrameNode::~FrameNode() {
  // The sibling chain is freed in a loop: a file may hold thousands of frames side by side,
  // and one destructor call per sibling would run the stack out. Each sibling is detached from
  // the chain before it goes, so its own destructor finds no chain to walk.
  std::unique_ptr<FrameNode> sibling = std::move(nextSibling);
  while (sibling != nullptr) sibling = std::move(sibling->nextSibling);
}
