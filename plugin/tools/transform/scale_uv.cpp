#include "plugin/tools/transform/scale_uv.h"

#include "platform/wait_cursor.h"
#include "plugin/tools/transform/selected_uv_walk.h"

namespace pavlex {

bool ScaleUV(MQDocument document, float factor, UVPair pivot) {
  platform::WaitCursor wait;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  MoveSelectedUVs(object, [&](UVPair& uv) { uv = ScaleUVPoint(uv, pivot, factor); });
  return true;
}

}  // namespace pavlex
