#include "plugin/widgets/window_base.h"

#include "hostapi/mq_codes.h"
#include "plugin/widgets/widget_request.h"

namespace pavlex {

MQWindowBase::~MQWindowBase() {
  while (!children_.empty()) children_.pop_back();
}

template <class Widget>
Widget* MQWindowBase::Create() {
  auto widget = std::make_unique<Widget>();
  widget->AdoptCreatedWidget(CreateHostWidget(Widget::kTypeName));
  Widget* raw = widget.get();
  children_.push_back(std::move(widget));
  return raw;
}

void MQWindowBase::AppendToParent(MQWidgetBase* parent, const MQWidgetBase& child) {
  if (parent == nullptr) return;
  int32_t childId = child.GetID();
  int32_t result = -1;
  OptionListBuilder options;
  options.add("child", &childId).add("result", &result);
  WidgetRequest(parent->GetID(), MQWIDGET_ADD_CHILD, options);
}

// The kind's property goes in before the widget joins its parent, so the
// host never lays out a frame without its alignment or a button without its
// text.
MQFrame* MQWindowBase::CreateFrame(MQWidgetBase* parent, const char* alignment) {
  MQFrame* frame = Create<MQFrame>();
  frame->SetNarrowString("alignment", alignment);
  AppendToParent(parent, *frame);
  return frame;
}

template <class Widget>
Widget* MQWindowBase::CreateWithText(MQWidgetBase* parent, const std::u16string& text) {
  Widget* widget = Create<Widget>();
  widget->SetText(text);
  AppendToParent(parent, *widget);
  return widget;
}

template <class Widget>
Widget* MQWindowBase::CreatePlain(MQWidgetBase* parent) {
  Widget* widget = Create<Widget>();
  AppendToParent(parent, *widget);
  return widget;
}

MQFrame* MQWindowBase::CreateHorizontalFrame(MQWidgetBase* parent) {
  return CreateFrame(parent, "horz");
}

MQFrame* MQWindowBase::CreateVerticalFrame(MQWidgetBase* parent) {
  return CreateFrame(parent, "vert");
}

MQGroupBox* MQWindowBase::CreateGroupBox(MQWidgetBase* parent, const std::u16string& title) {
  return CreateWithText<MQGroupBox>(parent, title);
}

MQButton* MQWindowBase::CreateButton(MQWidgetBase* parent, const std::u16string& text) {
  return CreateWithText<MQButton>(parent, text);
}

MQCheckBox* MQWindowBase::CreateCheckBox(MQWidgetBase* parent, const std::u16string& text) {
  return CreateWithText<MQCheckBox>(parent, text);
}

MQLabel* MQWindowBase::CreateLabel(MQWidgetBase* parent, const std::u16string& text) {
  return CreateWithText<MQLabel>(parent, text);
}

MQSpinBox* MQWindowBase::CreateSpinBox(MQWidgetBase* parent) {
  return CreatePlain<MQSpinBox>(parent);
}

MQDoubleSpinBox* MQWindowBase::CreateDoubleSpinBox(MQWidgetBase* parent) {
  return CreatePlain<MQDoubleSpinBox>(parent);
}

// An edit starts with its text empty and sets no property of its own.
MQEdit* MQWindowBase::CreateEdit(MQWidgetBase* parent) {
  return CreatePlain<MQEdit>(parent);
}

void MQWindowBase::AttachToParentWindow(const MQWidgetBase& parent, int32_t childId) {
  int32_t result = -1;
  OptionListBuilder options;
  options.add("child", &childId).add("result", &result);
  WidgetRequest(parent.GetID(), MQWIDGET_ADD_CHILD_WINDOW, options);
}

}  // namespace pavlex
