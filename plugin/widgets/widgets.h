// The widget kinds a window or dialog creates. Each is a thin handle; the
// accessors read or write the host at the moment they are called.
#pragma once

#include "plugin/widgets/widget_base.h"

namespace pavlex {

class MQFrameBase : public MQWidgetBase {
 public:
  ~MQFrameBase() override = default;
};

class MQFrame : public MQFrameBase {
 public:
  static constexpr char kTypeName[] = "frame";
  ~MQFrame() override = default;
};

class MQGroupBox : public MQFrameBase {
 public:
  static constexpr char kTypeName[] = "groupbox";
  ~MQGroupBox() override = default;
};

class MQButton : public MQWidgetBase {
 public:
  static constexpr char kTypeName[] = "button";
  ~MQButton() override = default;
  bool GetDown() const { return GetBool("down"); }
  void SetDown(bool down) { SetBool("down", down); }
};

class MQCheckBox : public MQWidgetBase {
 public:
  static constexpr char kTypeName[] = "checkbox";
  ~MQCheckBox() override = default;
  bool GetChecked() const { return GetBool("checked"); }
  void SetChecked(bool checked) { SetBool("checked", checked); }
};

class MQSpinBox : public MQWidgetBase {
 public:
  static constexpr char kTypeName[] = "spinbox";
  ~MQSpinBox() override = default;
  int32_t GetPosition() const { return GetInt("position"); }
  void SetPosition(int32_t position) { SetInt("position", position); }
};

class MQDoubleSpinBox : public MQWidgetBase {
 public:
  static constexpr char kTypeName[] = "doublespinbox";
  ~MQDoubleSpinBox() override = default;
  double GetPosition() const { return GetDouble("position"); }
  void SetPosition(double position) { SetDouble("position", position); }
};

class MQEdit : public MQWidgetBase {
 public:
  static constexpr char kTypeName[] = "edit";
  ~MQEdit() override = default;
};

class MQLabel : public MQWidgetBase {
 public:
  static constexpr char kTypeName[] = "label";
  ~MQLabel() override = default;
};

}  // namespace pavlex
