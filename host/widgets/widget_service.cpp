#include "host/widgets/widget_service.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <string_view>

#include "optionlist/option_list.h"
#include "host/widgets/widget_layout.h"
#include "host/widgets/widget_properties.h"
#include "hostapi/mq_codes.h"

namespace pavlex::host {
namespace {

constexpr const char* kEventNames[] = {
    "execute",    "resize",     "hide",
    "show",       "changing",   "changed",
    "leftdown",   "leftup",     "leftdoubleclick",
    "middledown", "middleup",   "middledoubleclick",
    "rightdown",  "rightup",    "rightdoubleclick",
    "mousemove",  "mousewheel", "mouseenter",
    "mouseleave", "keydown",    "keyup",
    "paint",      "drawitem",   "timer",
    "closequery", "dragover",   "dropfiles",
};

// Wide strings cross as null-terminated UTF-16; this bound only stops a
// walk through memory that was never terminated.
constexpr size_t kMaxWideLength = 1 << 20;

std::u16string ReadWide(const MQWChar* text) {
  std::u16string out;
  for (size_t i = 0; i < kMaxWideLength && text[i] != 0; ++i) out.push_back(text[i]);
  return out;
}

// Reads a value slot of a set request as `type`; false for a null slot.
bool ReadSlot(ValueType type, void* slot, PropertyValue* out) {
  if (slot == nullptr) return false;
  switch (type) {
    case ValueType::kBool:
      *out = *static_cast<const uint8_t*>(slot) != 0;
      return true;
    case ValueType::kInt:
      *out = *static_cast<const int32_t*>(slot);
      return true;
    case ValueType::kDouble:
      *out = *static_cast<const double*>(slot);
      return true;
    case ValueType::kNarrow:
      *out = std::string(static_cast<const char*>(slot));
      return true;
    case ValueType::kWide:
      *out = ReadWide(static_cast<const MQWChar*>(slot));
      return true;
    case ValueType::kInt4: {
      const auto* four = static_cast<const int32_t*>(slot);
      *out = Int4{four[0], four[1], four[2], four[3]};
      return true;
    }
  }
  return false;
}

// Writes a property value into a get request's slot; the caller sized any
// string buffer from the ".length" variant, plus one for the terminator.
void WriteSlot(const PropertyValue& value, void* slot) {
  if (const bool* flag = std::get_if<bool>(&value)) {
    *static_cast<uint8_t*>(slot) = *flag ? 1 : 0;
  } else if (const int32_t* number = std::get_if<int32_t>(&value)) {
    *static_cast<int32_t*>(slot) = *number;
  } else if (const double* real = std::get_if<double>(&value)) {
    *static_cast<double*>(slot) = *real;
  } else if (const std::string* text = std::get_if<std::string>(&value)) {
    std::memcpy(slot, text->c_str(), text->size() + 1);
  } else if (const std::u16string* wide = std::get_if<std::u16string>(&value)) {
    std::memcpy(slot, wide->c_str(), (wide->size() + 1) * sizeof(MQWChar));
  } else if (const Int4* four = std::get_if<Int4>(&value)) {
    std::memcpy(slot, four->data(), sizeof(int32_t) * 4);
  }
}

}  // namespace

bool IsKnownEventName(const char* name) {
  if (name == nullptr) return false;
  for (const char* known : kEventNames) {
    if (std::strcmp(known, name) == 0) return true;
  }
  return false;
}

WidgetService::WidgetService(WidgetHost& host) : host_(host) {
  mainWindow_ = tree_.create(WidgetKind::kWindow, nullptr);
  Widget* main = tree_.find(mainWindow_);
  main->hostOwned = true;
  main->store("title", std::u16string(u"Pavlex host"));
  main->store("visible", true);
}

MQBOOL WidgetService::request(int32_t id, int32_t code, void* options) {
  switch (code) {
    case MQWIDGET_GET_SYSTEM: {
      const OptionListView list(options);
      const char* name = list.narrow("system");
      int32_t* result = list.result<int32_t>("result");
      if (name == nullptr || result == nullptr || std::strcmp(name, "main_window") != 0) return 0;
      *result = mainWindow_;
      return 1;
    }
    case MQWIDGET_CREATE:
      return createWidget(options);
    case MQWIDGET_DELETE:
      return deleteWidget(id);
    case MQWIDGET_ADD_CHILD:
      return addChild(id, options, false);
    case MQWIDGET_ADD_CHILD_WINDOW:
      return addChild(id, options, true);
    case MQWIDGET_GET_PROPERTY:
      return getProperties(id, options);
    case MQWIDGET_SET_PROPERTY:
      return setProperties(id, options);
    case MQWIDGET_CALL_METHOD:
      return callMethod(id, options);
    case MQWIDGET_ADD_EVENT:
      return addEvent(id, options);
    case MQWIDGET_EXECUTE:
      return execute(id, options);
    default:
      return 0;
  }
}

MQBOOL WidgetService::createWidget(void* options) {
  const OptionListView list(options);
  int32_t* idSlot = list.result<int32_t>("id");
  auto fail = [&] {
    if (idSlot != nullptr) *idSlot = 0;
    return MQBOOL{0};
  };
  const char* typeName = list.narrow("type");
  if (typeName == nullptr || idSlot == nullptr) return fail();
  const std::optional<WidgetKind> kind = WidgetKindFromName(typeName);
  if (!kind) return fail();

  // A file dialog belongs to the window it is shown over; it dies with it.
  int32_t parent = 0;
  if (*kind == WidgetKind::kSaveFileDialog) {
    if (std::optional<int32_t> given = list.intValue("parent"); given && *given != 0) {
      const Widget* owner = tree_.find(*given);
      if (owner == nullptr || !owner->isWindow()) return fail();
      parent = *given;
    }
  }
  const int32_t id = tree_.create(*kind, host_.callingPlugin());
  tree_.find(id)->ownerWindow = parent;
  *idSlot = id;
  return 1;
}

MQBOOL WidgetService::deleteWidget(int32_t id) {
  const Widget* widget = tree_.find(id);
  if (widget == nullptr || widget->hostOwned) return 0;
  tree_.destroy(id);
  return 1;
}

MQBOOL WidgetService::addChild(int32_t id, void* options, bool window) {
  const OptionListView list(options);
  const std::optional<int32_t> child = list.intValue("child");
  if (!child) return 0;
  const bool added = window ? tree_.attachWindow(id, *child) : tree_.addChild(id, *child);
  if (!added) return 0;
  if (int32_t* result = list.result<int32_t>("result")) *result = *child;
  return 1;
}

MQBOOL WidgetService::getProperties(int32_t id, void* options) {
  const Widget* widget = tree_.find(id);
  if (widget == nullptr) return 0;
  bool all = true;
  int answered = 0;
  OptionListView(options).forEach([&](MQOptionPair& pair) {
    const std::string_view name = pair.key;
    const std::optional<PropertyInfo> info = LookupProperty(widget->kind, name);
    if (!info || pair.value == nullptr) {
      all = false;
      return;
    }
    PropertyValue value;
    if (name == "justsize") {
      const LayoutSize size = FittedSize(tree_, id);
      value = Int4{size.width, size.height, -1, -1};
    } else if (name.size() > 7 && name.substr(name.size() - 7) == ".length") {
      const PropertyValue text = CurrentProperty(*widget, name.substr(0, name.size() - 7));
      if (const auto* wide = std::get_if<std::u16string>(&text)) {
        value = static_cast<int32_t>(wide->size());
      } else if (const auto* narrow = std::get_if<std::string>(&text)) {
        value = static_cast<int32_t>(narrow->size());
      }
    } else if ((name == "width" || name == "height") && widget->stored(name) == nullptr) {
      // A window nobody sized has the size that fits its content.
      const LayoutSize size = FittedSize(tree_, id);
      value = name == "width" ? size.width : size.height;
    } else {
      value = CurrentProperty(*widget, name);
    }
    WriteSlot(value, pair.value);
    ++answered;
  });
  return all && answered > 0 ? 1 : 0;
}

MQBOOL WidgetService::setProperties(int32_t id, void* options) {
  Widget* widget = tree_.find(id);
  if (widget == nullptr) return 0;
  bool all = true;
  int stored = 0;
  OptionListView(options).forEach([&](MQOptionPair& pair) {
    const std::optional<PropertyInfo> info = LookupProperty(widget->kind, pair.key);
    PropertyValue value;
    if (!info || !info->writable || !ReadSlot(info->type, pair.value, &value) ||
        !AcceptsPropertyValue(pair.key, value)) {
      all = false;
      return;
    }
    widget->store(pair.key, std::move(value));
    ++stored;
  });
  return all && stored > 0 ? 1 : 0;
}

MQBOOL WidgetService::callMethod(int32_t id, void* options) {
  Widget* widget = tree_.find(id);
  if (widget == nullptr || widget->kind != WidgetKind::kSaveFileDialog) return 0;
  const OptionListView list(options);
  int32_t* result = list.result<int32_t>("result");
  if (list.has("addfilter")) {
    const MQWChar* text = list.wide("text");
    if (text == nullptr) return 0;
    widget->filters.push_back(ReadWide(text));
    if (result != nullptr) *result = static_cast<int32_t>(widget->filters.size()) - 1;
    return 1;
  }
  if (list.has("clearfilters")) {
    widget->filters.clear();
    if (result != nullptr) *result = 0;
    return 1;
  }
  return 0;
}

MQBOOL WidgetService::addEvent(int32_t id, void* options) {
  Widget* widget = tree_.find(id);
  if (widget == nullptr) return 0;
  const OptionListView list(options);
  const char* type = list.narrow("type");
  MQOptionPair* proc = list.find("proc");
  if (!IsKnownEventName(type) || proc == nullptr || proc->value == nullptr) return 0;

  EventHandler handler;
  handler.type = type;
  handler.proc = reinterpret_cast<MQWidgetEventProc>(proc->value);
  handler.pointer = list.result<void>("pointer");
  handler.function = list.result<void>("function");
  handler.prior = list.boolValue("prior").value_or(false);
  handler.owner = host_.callingPlugin();
  widget->handlers.push_back(std::move(handler));
  return 1;
}

MQBOOL WidgetService::execute(int32_t id, void* options) {
  const OptionListView list(options);
  const char* type = list.narrow("type");
  if (type == nullptr) return 0;
  const std::string_view what = type;

  if (what == "messagebox") {
    MessageBoxRequest box;
    if (const char* kind = list.narrow("messagetype")) box.type = kind;
    box.parent = list.intValue("parent").value_or(0);
    if (const MQWChar* title = list.wide("title")) box.title = ReadWide(title);
    if (const MQWChar* message = list.wide("message")) box.message = ReadWide(message);
    const int32_t answer = host_.messageBox(box);
    if (int32_t* result = list.result<int32_t>("result")) *result = answer;
    return 1;
  }

  const Widget* widget = tree_.find(id);
  if (widget == nullptr) return 0;
  if (what == "modal") {
    if (widget->kind != WidgetKind::kDialog) return 0;
    const int32_t answer = host_.runModal(id);
    if (answer == 0) return 0;  // the dialog was running already
    if (int32_t* result = list.result<int32_t>("result")) *result = answer;
    return 1;
  }
  if (what == "filesave") {
    if (widget->kind != WidgetKind::kSaveFileDialog) return 0;
    SaveFileRequest request;
    request.dialog = id;
    request.title = TextProperty(*widget, "title");
    request.filters = widget->filters;
    request.filterIndex = IntProperty(*widget, "filterindex");
    request.fileName = TextProperty(*widget, "filename");
    const bool confirmed = host_.saveFile(request);
    // The driver may have deleted the dialog meanwhile.
    if (Widget* after = tree_.find(id); after != nullptr && confirmed) {
      after->store("filename", request.fileName);
      after->store("filterindex", std::max(0, request.filterIndex));
    }
    if (uint8_t* result = list.result<uint8_t>("result")) *result = confirmed ? 1 : 0;
    return 1;
  }
  return 0;
}

bool WidgetService::hasHandler(int32_t id, const char* type) const {
  const Widget* widget = tree_.find(id);
  if (widget == nullptr) return false;
  return std::any_of(widget->handlers.begin(), widget->handlers.end(),
                     [&](const EventHandler& h) { return h.type == type; });
}

EventDelivery WidgetService::raise(int32_t id, const char* type) {
  OptionListBuilder options;
  options.addInt("target_id", id);
  options.addInt("sender_id", id);
  options.add("type", type);
  return deliver(id, type, options);
}

EventDelivery WidgetService::raiseMouse(int32_t id, const char* type, int32_t buttonState, float pressure) {
  // The pointer sits at the widget's centre; screen positions add the
  // window's position (the host draws no frame around client areas).
  const LayoutSize size = FittedSize(tree_, id);
  const int32_t x = size.width / 2, y = size.height / 2;
  int32_t screenX = x, screenY = y;
  if (const Widget* window = tree_.find(tree_.windowOf(id))) {
    // A window may sit anywhere a 32-bit position reaches; the pointer's
    // screen position stops at the edge of that range.
    auto onScreen = [](int32_t client, int32_t origin) {
      return static_cast<int32_t>(std::clamp<int64_t>(int64_t{client} + origin, INT32_MIN, INT32_MAX));
    };
    screenX = onScreen(x, IntProperty(*window, "pos_x"));
    screenY = onScreen(y, IntProperty(*window, "pos_y"));
  }
  OptionListBuilder options;
  options.addInt("target_id", id);
  options.addInt("sender_id", id);
  options.add("type", type);
  options.addInt("client_x", x);
  options.addInt("client_y", y);
  options.addInt("screen_x", screenX);
  options.addInt("screen_y", screenY);
  options.addInt("down_x", x);
  options.addInt("down_y", y);
  options.addInt("last_x", x);
  options.addInt("last_y", y);
  options.addInt("wheel_delta", 0);
  options.addFloat("pressure", pressure);
  options.addInt("button_state", buttonState);
  options.addBool("finished", false);
  return deliver(id, type, options);
}

EventDelivery WidgetService::deliver(int32_t id, const char* type, OptionListBuilder& options) {
  EventDelivery delivery;
  const Widget* widget = tree_.find(id);
  if (widget == nullptr) return delivery;
  // A copy: handlers may register, delete or unload while we walk.
  std::vector<EventHandler> queue;
  for (int pass = 0; pass < 2; ++pass) {
    for (const EventHandler& handler : widget->handlers) {
      if (handler.type == type && handler.prior == (pass == 0)) queue.push_back(handler);
    }
  }
  for (const EventHandler& handler : queue) {
    const Widget* now = tree_.find(id);
    if (now == nullptr) break;
    const bool stillRegistered =
        std::any_of(now->handlers.begin(), now->handlers.end(), [&](const EventHandler& h) {
          return h.type == handler.type && h.proc == handler.proc && h.pointer == handler.pointer &&
                 h.owner == handler.owner;
        });
    if (!stillRegistered) continue;
    ++delivery.handlersRun;
    const MQBOOL answer = host_.invokeHandler(handler, options.list());
    if (options.boolAt("finished")) delivery.finished = true;
    if (answer != 0) {
      delivery.handled = true;
      break;
    }
  }
  return delivery;
}

void WidgetService::removeOwnedBy(const void* owner) {
  if (owner == nullptr) return;
  for (int32_t id : tree_.ids()) {
    const Widget* widget = tree_.find(id);  // may be gone with an earlier one
    if (widget != nullptr && widget->owner == owner && !widget->hostOwned) tree_.destroy(id);
  }
  for (int32_t id : tree_.ids()) {
    auto& handlers = tree_.find(id)->handlers;
    handlers.erase(std::remove_if(handlers.begin(), handlers.end(),
                                  [&](const EventHandler& h) { return h.owner == owner; }),
                   handlers.end());
  }
}

}  // namespace pavlex::host
