#include "tools/transform/turn_uv.h"

#include "platform/wait_cursor.h"
#include "tools/transform/selected_uv_walk.h"

namespace pavlex {

bool TurnUV(MQDocument document, const UVBounds& bounds, TurnDirection direction) {
  platform::WaitCursor wait;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  MoveSelectedUVs(object, [&](FaceCorner& corner) {
    const UVPair moved = TurnUVPoint({corner.u, corner.v}, bounds, direction);
    corner.u = moved.u;
    corner.v = moved.v;
  });
  return true;
}

}  // namespace pavlex
