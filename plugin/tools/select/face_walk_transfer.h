// The frame every selection transfer between UV and model shares: the wait
// cursor, the current object, and its live faces in ascending order, each
// handed to the transfer as the walk reaches it. What a transfer reads of
// the face, and when, stays its own: that order is what the host sees.
#pragma once

#include <memory>

#include "hostapi/mq_types.h"
#include "platform/wait_cursor.h"
#include "plugin/model/cmq_face.h"
#include "plugin/model/cmq_face_range.h"
#include "plugin/model/cmq_object.h"

namespace pavlex {

// `transfer(object, face)` answers whether it added to a selection; the
// walk answers whether any call did.
template <class Transfer>
bool TransferFaceByFace(MQDocument document, Transfer&& transfer) {
  platform::WaitCursor wait;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  bool added = false;
  for (const std::shared_ptr<cmq::CMQFace>& face : cmq::CMQFaceRange(object)) {
    if (transfer(object, *face)) added = true;
  }
  return added;
}

}  // namespace pavlex
