#include "render/scene_matrices.h"

namespace {

D3DXMATRIX Rotation(const D3DXVECTOR3& rotationDeg) {
  D3DXMATRIX r;
  D3DXMatrixRotationYawPitchRoll(&r, rotationDeg.y * kDegreesToRadians,
                                 rotationDeg.x * kDegreesToRadians,
                                 rotationDeg.z * kDegreesToRadians);
  return r;
}

D3DXMATRIX ScaleRotateTranslate(const D3DXMATRIX& s, const D3DXMATRIX& r, const D3DXMATRIX& t) {
  D3DXMATRIX world;
  D3DXMatrixMultiply(&world, &s, &r);
  D3DXMatrixMultiply(&world, &world, &t);
  return world;
}

}  // namespace

D3DXMATRIX ComposeItemWorld(const D3DXVECTOR3& position, const D3DXVECTOR3& size,
                            const D3DXVECTOR3& rotationDeg, float widthFactor,
                            float heightFactor) {
  D3DXMATRIX s, t;
  D3DXMatrixScaling(&s, size.x * widthFactor, size.y * heightFactor, size.z);
  D3DXMatrixTranslation(&t, position.x, position.y, position.z);
  return ScaleRotateTranslate(s, Rotation(rotationDeg), t);
}

D3DXMATRIX ComposeScaledWorld(const D3DXVECTOR3& translation, const D3DXVECTOR3& scale) {
  D3DXMATRIX s, t, world;
  D3DXMatrixScaling(&s, scale.x, scale.y, scale.z);
  D3DXMatrixTranslation(&t, translation.x, translation.y, translation.z);
  D3DXMatrixMultiply(&world, &s, &t);
  return world;
}

D3DXMATRIX ComposeMirrorWorld(MirrorKind kind, const D3DXVECTOR3& position,
                              const D3DXVECTOR3& size, const D3DXVECTOR3& rotationDeg,
                              float widthFactor, float heightFactor) {
  D3DXMATRIX s, t;
  if (kind == MirrorObject) {
    D3DXMatrixTranslation(&t, position.x, position.y - 0.8f, position.z);
    D3DXMatrixScaling(&s, size.x, -size.y, size.z);
  } else {
    // The drawn height of the item; one of the two factors is always 1.
    const float k = widthFactor > heightFactor ? heightFactor : 1.0f;
    float ty = position.y - size.y * k;
    if (kind == MirrorPicture) ty -= 0.1f * size.y * k;
    D3DXMatrixTranslation(&t, position.x, ty, position.z);
    D3DXMatrixScaling(&s, size.x * widthFactor, -(size.y * heightFactor), size.z);
  }
  return ScaleRotateTranslate(s, Rotation(rotationDeg), t);
}

float PictureInset(float itemSize) { return itemSize == 2.0f ? 0.1f : 0.0f; }
