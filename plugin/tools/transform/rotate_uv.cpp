#include "plugin/tools/transform/rotate_uv.h"

#include "platform/wait_cursor.h"
#include "plugin/tools/transform/selected_uv_walk.h"

namespace pavlex {

bool RotateUV(MQDocument document, float degrees, UVPair pivot) {
  platform::WaitCursor wait;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  const UVRotation rotation = UVRotationFromDegrees(degrees);
  MoveSelectedUVs(object, [&](UVPair& uv) { uv = RotateUVPoint(uv, pivot, rotation); });
  return true;
}

}  // namespace pavlex
