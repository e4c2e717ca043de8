#include "plugin/tools/transform/snap_uv.h"

#include "platform/wait_cursor.h"
#include "plugin/tools/transform/selected_uv_walk.h"

namespace pavlex {

bool SnapUV(MQDocument document, const UVBounds& bounds, SnapSide side) {
  platform::WaitCursor wait;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  MoveSelectedUVs(object, [&](UVPair& uv) { uv = SnapUVPoint(uv, bounds, side); });
  return true;
}

}  // namespace pavlex
