#include "plugin/tools/transform/invert_uv.h"

#include "platform/wait_cursor.h"
#include "plugin/tools/transform/selected_uv_walk.h"

namespace pavlex {

bool InvertUV(MQDocument document, const UVBounds& bounds, InvertDirection direction, bool aboutUnitCentre) {
  platform::WaitCursor wait;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  const UVPair pivot = InvertPivot(bounds, aboutUnitCentre);
  MoveSelectedUVs(object, [&](UVPair& uv) { uv = InvertUVPoint(uv, pivot, direction); });
  return true;
}

}  // namespace pavlex
