#include "host/obj/obj_elements.h"

#include <algorithm>

namespace pavlex::host::obj {

void ElementPacker::put(uint64_t value) {
  while (value >= 0x80) {
    out_->bytes.push_back(static_cast<uint8_t>(value | 0x80));
    value >>= 7;
  }
  out_->bytes.push_back(static_cast<uint8_t>(value));
}

void ElementPacker::add(uint64_t offset, int32_t object, int32_t smoothing, int32_t material, bool isLine,
                        const int32_t* texcoords, uint32_t count) {
  const ElementRun* last = out_->runs.empty() ? nullptr : &out_->runs.back();
  if (last == nullptr || last->object != object || last->smoothing != smoothing || last->material != material) {
    ElementRun run;
    run.byte = out_->bytes.size();
    run.offset = offset;
    run.firstElement = out_->count;
    run.firstToken = out_->tokens;
    run.object = object;
    run.smoothing = smoothing;
    run.material = material;
    out_->runs.push_back(run);
    lastOffset_ = offset;
    lastTexcoord_ = 0;
  }
  put(offset - lastOffset_);
  lastOffset_ = offset;
  put(uint64_t{count} * 2 + (isLine ? 1 : 0));
  for (uint32_t t = 0; t < count; ++t) {
    const int64_t value = int64_t{texcoords[t]} + 1;
    const int64_t step = value - lastTexcoord_;
    put(step < 0 ? (static_cast<uint64_t>(-(step + 1)) << 1) | 1 : static_cast<uint64_t>(step) << 1);
    lastTexcoord_ = value;
  }
  ++out_->count;
  out_->tokens += count;
}

ElementCursor::ElementCursor(const PackedElements& elements, size_t firstRun)
    : elements_(elements), p_(elements.bytes.data()), nextRun_(firstRun), index_(0) {
  if (firstRun < elements.runs.size()) {
    p_ += elements.runs[firstRun].byte;
    index_ = elements.runs[firstRun].firstElement;
  } else {
    index_ = elements.count;
  }
  int32_t objects = 0;
  for (const ElementRun& run : elements.runs) objects = std::max(objects, run.object + 1);
  facesPassed_.assign(static_cast<size_t>(objects), 0);
}

uint64_t ElementCursor::get() {
  uint64_t value = 0;
  for (int shift = 0;; shift += 7) {
    const uint8_t byte = *p_++;
    value |= static_cast<uint64_t>(byte & 0x7F) << shift;
    if (byte < 0x80) return value;
  }
}

bool ElementCursor::next() {
  if (index_ >= elements_.count) return false;
  if (nextRun_ < elements_.runs.size() && elements_.runs[nextRun_].firstElement == index_) {
    const ElementRun& run = elements_.runs[nextRun_++];
    element_.offset = run.offset;
    element_.firstToken = run.firstToken;
    element_.tokenCount = 0;
    element_.object = run.object;
    element_.smoothing = run.smoothing;
    element_.material = run.material;
    lastTexcoord_ = 0;
  }
  element_.offset += get();
  element_.firstToken += element_.tokenCount;
  const uint64_t corners = get();
  element_.tokenCount = static_cast<uint32_t>(corners >> 1);
  element_.isLine = (corners & 1) != 0;
  texcoords_.resize(element_.tokenCount);
  for (uint32_t t = 0; t < element_.tokenCount; ++t) {
    const uint64_t code = get();
    const int64_t step = (code & 1) != 0 ? -static_cast<int64_t>(code >> 1) - 1 : static_cast<int64_t>(code >> 1);
    lastTexcoord_ += step;
    texcoords_[t] = static_cast<int32_t>(lastTexcoord_ - 1);
  }
  int32_t& passed = facesPassed_[static_cast<size_t>(element_.object)];
  element_.firstFace = passed;
  passed += element_.isLine ? static_cast<int32_t>(element_.tokenCount) - 1 : 1;
  ++index_;
  return true;
}

}  // namespace pavlex::host::obj
