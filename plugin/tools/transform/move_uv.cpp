#include "plugin/tools/transform/move_uv.h"

#include "platform/wait_cursor.h"
#include "plugin/tools/transform/selected_uv_walk.h"

namespace pavlex {

bool MoveUV(MQDocument document, UVPair offset) {
  platform::WaitCursor wait;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  MoveSelectedUVs(object, [&](UVPair& uv) { uv = MoveUVPoint(uv, offset); });
  return true;
}

}  // namespace pavlex
