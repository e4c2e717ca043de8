#include "plugin/model/cmq_face.h"

namespace cmq {

CMQFace::~CMQFace() {
  index_ = -1;
  object_ = nullptr;
}

}  // namespace cmq
