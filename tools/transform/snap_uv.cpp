#include "tools/transform/snap_uv.h"

#include "platform/wait_cursor.h"
#include "tools/transform/selected_uv_walk.h"

namespace pavlex {

bool SnapUV(MQDocument document, const UVBounds& bounds, SnapSide side) {
  platform::WaitCursor wait;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  MoveSelectedUVs(object, [&](FaceCorner& corner) {
    const UVPair moved = SnapUVPoint({corner.u, corner.v}, bounds, side);
    corner.u = moved.u;
    corner.v = moved.v;
  });
  return true;
}

}  // namespace pavlex
