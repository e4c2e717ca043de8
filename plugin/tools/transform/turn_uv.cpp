#include "plugin/tools/transform/turn_uv.h"

#include "platform/wait_cursor.h"
#include "plugin/tools/transform/selected_uv_walk.h"

namespace pavlex {

bool TurnUV(MQDocument document, const UVBounds& bounds, TurnDirection direction) {
  platform::WaitCursor wait;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  MoveSelectedUVs(object, [&](UVPair& uv) { uv = TurnUVPoint(uv, bounds, direction); });
  return true;
}

}  // namespace pavlex
