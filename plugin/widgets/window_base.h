// A window or dialog: a widget that owns the widgets created through it.
//
// Every creation operation makes the widget object, creates its host widget,
// registers it, keeps it among this window's children, sets the property
// that goes with its kind and, when a parent is given, appends it to that
// parent in the host. A creation the host refuses still answers a widget
// object (with id 0), so building code never checks for null; requests on
// it reach the host with id 0 and are refused there.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "plugin/widgets/widgets.h"

namespace pavlex {

class MQWindowBase : public MQWidgetBase {
 public:
  MQWindowBase() = default;
  // Destroys the children, newest first, so every widget goes before the
  // container it was appended to; then this window itself.
  ~MQWindowBase() override;

  MQFrame* CreateHorizontalFrame(MQWidgetBase* parent);
  MQFrame* CreateVerticalFrame(MQWidgetBase* parent);
  MQGroupBox* CreateGroupBox(MQWidgetBase* parent, const std::u16string& title);
  MQButton* CreateButton(MQWidgetBase* parent, const std::u16string& text);
  MQCheckBox* CreateCheckBox(MQWidgetBase* parent, const std::u16string& text);
  MQLabel* CreateLabel(MQWidgetBase* parent, const std::u16string& text);
  MQSpinBox* CreateSpinBox(MQWidgetBase* parent);
  MQDoubleSpinBox* CreateDoubleSpinBox(MQWidgetBase* parent);
  MQEdit* CreateEdit(MQWidgetBase* parent);

 protected:
  // Appends a window or dialog to `parent` (a window) in the host.
  static void AttachToParentWindow(const MQWidgetBase& parent, int32_t childId);

 private:
  // Makes the object and its host widget and keeps it; the caller sets
  // the kind's property and then appends it.
  template <class Widget>
  Widget* Create();
  static void AppendToParent(MQWidgetBase* parent, const MQWidgetBase& child);
  MQFrame* CreateFrame(MQWidgetBase* parent, const char* alignment);
  template <class Widget>
  Widget* CreateWithText(MQWidgetBase* parent, const std::u16string& text);
  template <class Widget>
  Widget* CreatePlain(MQWidgetBase* parent);

  std::vector<std::unique_ptr<MQWidgetBase>> children_;
};

}  // namespace pavlex
