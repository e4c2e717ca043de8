// Fuzzes the widget service as a plug-in's requests reach it: calls to the
// exported MQWidget_Value with option records whose keys come from the
// names the service knows (or are made up) and whose values point into
// buffers this fuzzer owns, then events raised on the widgets so the
// handlers it registered run (and may delete their own widget).
//
// The records keep the interface's contract, as any plug-in must: each
// list ends with a null key, a value slot is large enough for any value
// the service writes into it (every string an input can set fits), and an
// event procedure is a real function. Everything else is the input's.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/api/host_exports.h"
#include "host/session/host_session.h"
#include "host/widgets/widget_service.h"
#include "hostapi/mq_codes.h"
#include "optionlist/option_list.h"

namespace {

constexpr const char* kKeys[] = {
    // request fields
    "type", "id", "child", "result", "system", "proc", "pointer", "function", "prior", "messagetype",
    "parent", "title", "message", "addfilter", "clearfilters", "text",
    // properties
    "alignment", "backcolor.rgba", "canminimize", "canresize", "checked", "closebutton", "decimaldigit",
    "default", "filename", "fill", "fillafterrate", "fillbeforerate", "filterindex", "height", "horz",
    "increment", "inspace", "justsize", "matrixcolumn", "max", "min", "modalresult", "multicolumn", "number",
    "outspace", "pos_x", "pos_y", "position", "vert", "visible", "visiblecolumn", "width",
    // string lengths
    "text.length", "title.length", "filename.length", "alignment.length", "fill.length", "horz.length",
    "vert.length",
};

constexpr int32_t kCodes[] = {
    MQWIDGET_GET_SYSTEM,   MQWIDGET_CREATE,       MQWIDGET_DELETE,     MQWIDGET_ADD_CHILD,
    MQWIDGET_ADD_CHILD_WINDOW, MQWIDGET_GET_PROPERTY, MQWIDGET_SET_PROPERTY, MQWIDGET_CALL_METHOD,
    MQWIDGET_ADD_EVENT,    MQWIDGET_EXECUTE,
};

constexpr const char* kEvents[] = {"execute", "changed", "changing", "leftdown", "leftup", "mousemove",
                                   "paint", "closequery", "timer", "hide", "show"};

constexpr size_t kMaxInputBytes = 4096;
constexpr int kMaxSteps = 96;
constexpr size_t kMaxPairs = 8;

// What the input asks event handlers to do, one byte a call.
FuzzedDataProvider* g_input = nullptr;

MQBOOL MQAPI Handler(MQDocument, void* options, void*) {
  if (g_input == nullptr || g_input->remaining_bytes() == 0) return 0;
  switch (g_input->ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
      return 0;
    case 1:
      return 1;
    case 2: {  // a handler that deletes the widget it was called for
      const std::optional<int32_t> target = pavlex::OptionListView(options).intValue("target_id");
      if (target) MQWidget_Value(*target, MQWIDGET_DELETE, nullptr);
      return 0;
    }
    default: {  // a handler that hides its widget
      uint8_t off = 0;
      const std::optional<int32_t> target = pavlex::OptionListView(options).intValue("target_id");
      MQOptionPair list[] = {{"visible", &off}, {nullptr, nullptr}};
      if (target) MQWidget_Value(*target, MQWIDGET_SET_PROPERTY, list);
      return 0;
    }
  }
}

class Request {
 public:
  Request(size_t slotBytes) : slotBytes_(slotBytes) {}

  // A slot of zeroes with `bytes` at its start.
  void* slot(const std::string& bytes) {
    buffers_.push_back(std::make_unique<std::vector<uint8_t>>(slotBytes_ + bytes.size(), 0));
    std::memcpy(buffers_.back()->data(), bytes.data(), bytes.size());
    return buffers_.back()->data();
  }
  void* intSlot(int32_t value) { return slot(std::string(reinterpret_cast<const char*>(&value), sizeof value)); }
  const char* key(const std::string& name) { return static_cast<const char*>(slot(name)); }
  void add(const char* key, void* value) { pairs_.push_back({key, value}); }
  MQOptionPair* list() {
    pairs_.push_back({nullptr, nullptr});
    return pairs_.data();
  }
  void* valueOf(const char* key) const {
    for (const MQOptionPair& pair : pairs_) {
      if (pair.key != nullptr && std::strcmp(pair.key, key) == 0) return pair.value;
    }
    return nullptr;
  }

 private:
  size_t slotBytes_;
  std::vector<std::unique_ptr<std::vector<uint8_t>>> buffers_;
  std::vector<MQOptionPair> pairs_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInputBytes) return -1;
  FuzzedDataProvider input(data, size);
  g_input = &input;
  // Wide strings the input sets are at most `size` units long.
  const size_t slotBytes = 2 * size + 64;
  {
    pavlex::host::HostSessionOptions options;
    options.persistSettings = false;
    pavlex::host::HostSession session(options);
    std::vector<int32_t> ids = {0, session.mainWindow()};
    auto pickId = [&] {
      if (input.ConsumeIntegralInRange<int>(0, 7) == 0) return input.ConsumeIntegral<int32_t>();
      return ids[input.ConsumeIntegralInRange<size_t>(0, ids.size() - 1)];
    };

    for (int step = 0; step < kMaxSteps && input.remaining_bytes() > 0; ++step) {
      const int what = input.ConsumeIntegralInRange<int>(0, 9);
      if (what == 8) {
        const int32_t id = pickId();
        session.widgets().raise(id, kEvents[input.ConsumeIntegralInRange<size_t>(0, std::size(kEvents) - 1)]);
        continue;
      }
      if (what == 9) {
        const int32_t id = pickId();
        const int32_t buttons = input.ConsumeIntegral<int32_t>();
        session.widgets().raiseMouse(id, kEvents[input.ConsumeIntegralInRange<size_t>(3, 5)], buttons,
                                     input.ConsumeFloatingPoint<float>());
        continue;
      }
      const int32_t code = input.ConsumeBool() ? kCodes[input.ConsumeIntegralInRange<size_t>(0, std::size(kCodes) - 1)]
                                               : input.ConsumeIntegral<int32_t>();
      const int32_t id = pickId();
      Request request(slotBytes);
      const size_t pairs = input.ConsumeIntegralInRange<size_t>(0, kMaxPairs);
      for (size_t p = 0; p < pairs; ++p) {
        const uint8_t choice = input.ConsumeIntegral<uint8_t>();
        const char* key = choice < std::size(kKeys) ? kKeys[choice]
                          : choice >= 0xF0          ? request.key(input.ConsumeRandomLengthString(16))
                                                    : kKeys[choice % std::size(kKeys)];
        void* value = nullptr;
        switch (input.ConsumeIntegralInRange<int>(0, 7)) {
          case 0:
            break;  // a null value
          case 1:
            value = request.intSlot(ids[input.ConsumeIntegralInRange<size_t>(0, ids.size() - 1)]);
            break;
          default:
            value = request.slot(input.ConsumeRandomLengthString(24));
        }
        if (std::strcmp(key, "proc") == 0) value = reinterpret_cast<void*>(&Handler);
        request.add(key, value);
      }
      MQOptionPair* list = input.ConsumeIntegralInRange<int>(0, 15) == 0 ? nullptr : request.list();
      const MQBOOL answer = MQWidget_Value(id, code, list);
      if (code == MQWIDGET_CREATE && answer != 0) {
        int32_t created = 0;
        std::memcpy(&created, request.valueOf("id"), sizeof created);
        if (created == 0) {
          std::fprintf(stderr, "a create that answered 1 wrote no id\n");
          std::abort();
        }
        ids.push_back(created);
      }
    }
  }
  g_input = nullptr;
  return 0;
}
