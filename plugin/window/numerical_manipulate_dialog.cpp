#include "plugin/window/numerical_manipulate_dialog.h"

#include <clocale>

#include "hostapi/mq_codes.h"
#include "plugin/model/cmq_object.h"
#include "plugin/tools/transform/invert_uv.h"
#include "plugin/tools/transform/move_uv.h"
#include "plugin/tools/transform/numerical_pivot.h"
#include "plugin/tools/transform/rotate_uv.h"
#include "plugin/tools/transform/scale_uv.h"
#include "plugin/tools/transform/turn_uv.h"
#include "plugin/widgets/widget_events.h"
#include "plugin/widgets/widget_request.h"

namespace pavlex {

namespace {

bool IsURow(int32_t k) {
  return k == NumericalManipulateDialog::kUMin || k == NumericalManipulateDialog::kUMax;
}
bool IsVRow(int32_t k) {
  return k == NumericalManipulateDialog::kVMin || k == NumericalManipulateDialog::kVMax;
}

}  // namespace

NumericalManipulateDialog::NumericalManipulateDialog(const MQWindowBase& parent, MQDocument document)
    : MQDialog(parent), document_(document), openBounds_(kUnitUVSquare) {
  SetWideString("title", u"Numerical Manipulate");
  SetDouble("outspace", 0.5);
  SetDouble("inspace", 0.5);

  // Rectangle and pivot editor: V min above, U min | pivot | U max across
  // the middle, V max below, as the rectangle lies in UV space.
  MQFrame* editor = CreateVerticalFrame(this);
  MQFrame* top = CreateHorizontalFrame(editor);
  MQFrame* topPanel = CreatePanel(top, true);
  topPanel->SetDouble("fillbeforerate", 0.4);
  topPanel->SetDouble("fillafterrate", 0.4);
  BuildRow(topPanel, kVMin, u"V min", u"0", u"max");

  MQFrame* middle = CreateHorizontalFrame(editor);
  BuildRow(CreatePanel(middle, true), kUMin, u"U min", u"0", u"max");
  MQFrame* pivotPanel = CreatePanel(middle, false);
  BuildRow(CreateVerticalFrame(pivotPanel), kPivotU, u"pivot U", u"min", u"max");
  BuildRow(CreateVerticalFrame(pivotPanel), kPivotV, u"V", u"min", u"max");
  BuildRow(CreatePanel(middle, true), kUMax, u"U max", u"min", u"1.0");

  MQFrame* bottom = CreateHorizontalFrame(editor);
  MQFrame* bottomPanel = CreatePanel(bottom, true);
  bottomPanel->SetDouble("fillbeforerate", 0.4);
  bottomPanel->SetDouble("fillafterrate", 0.4);
  BuildRow(bottomPanel, kVMax, u"V max", u"min", u"1.0");

  MQFrame* reflect = CreateHorizontalFrame(this);
  MQFrame* invertPanel = CreatePanel(reflect, false);
  CreateLabel(invertPanel, u"Invert");
  invertH_ = CreateActionButton(invertPanel, u"Horizontal", &NumericalManipulateDialog::OnInvert);
  invertV_ = CreateActionButton(invertPanel, u"Vertical", &NumericalManipulateDialog::OnInvert);
  MQFrame* turnPanel = CreatePanel(reflect, false);
  CreateLabel(turnPanel, u"Turn");
  turnU_ = CreateActionButton(turnPanel, u"U", &NumericalManipulateDialog::OnTurn);
  turnD_ = CreateActionButton(turnPanel, u"D", &NumericalManipulateDialog::OnTurn);
  turnL_ = CreateActionButton(turnPanel, u"L", &NumericalManipulateDialog::OnTurn);
  turnR_ = CreateActionButton(turnPanel, u"R", &NumericalManipulateDialog::OnTurn);
  MQFrame* rotatePanel = CreatePanel(reflect, false);
  rotate_ = CreateActionButton(rotatePanel, u"Rotate", &NumericalManipulateDialog::OnRotate);
  angleSpin_ = CreateValueSpin(rotatePanel, -180.0, 180.0, 5.0);
  angleSpin_->SetPosition(0.0);

  MQFrame* shift = CreateHorizontalFrame(this);
  MQFrame* movePanel = CreatePanel(shift, false);
  move_ = CreateActionButton(movePanel, u"Move", &NumericalManipulateDialog::OnMove);
  moveUSpin_ = CreateValueSpin(movePanel, -1.0, 1.0, 0.1);
  moveUSpin_->SetInt("visiblecolumn", 5);
  moveUSpin_->SetPosition(0.0);
  moveVSpin_ = CreateValueSpin(movePanel, -1.0, 1.0, 0.1);
  moveVSpin_->SetInt("visiblecolumn", 5);
  moveVSpin_->SetPosition(0.0);
  MQFrame* scalePanel = CreatePanel(shift, false);
  scale_ = CreateActionButton(scalePanel, u"Scale", &NumericalManipulateDialog::OnScale);
  scaleSpin_ = CreateValueSpin(scalePanel, -10.0, 10.0, 0.1);
  scaleSpin_->SetInt("visiblecolumn", 5);
  scaleSpin_->SetPosition(1.0);
  MQButton* cancel = CreateButton(shift, u"Cancel");
  cancel->SetDouble("fillbeforerate", 1.0);
  cancel->SetBool("cancel", true);
  cancel->SetInt("modalresult", MQMODALRESULT_CANCEL);

  // Typed decimals are parsed by the C runtime.
  std::setlocale(LC_CTYPE, "");

  openBounds_ = SelectionUVBounds(cmq::CMQObject::Current(document_));
  SetValue(kVMin, openBounds_.vmin);
  SetValue(kUMin, openBounds_.umin);
  SetValue(kUMax, openBounds_.umax);
  SetValue(kVMax, openBounds_.vmax);
  UpdatePivot(kAllRows);
}

MQFrame* NumericalManipulateDialog::CreatePanel(MQWidgetBase* parent, bool vertical) {
  MQFrame* panel = vertical ? CreateVerticalFrame(parent) : CreateHorizontalFrame(parent);
  int32_t black[4] = {0, 0, 0, 255};
  OptionListBuilder options;
  options.add("backcolor.rgba", black);
  WidgetRequest(panel->GetID(), MQWIDGET_SET_PROPERTY, options);
  return panel;
}

void NumericalManipulateDialog::BuildRow(MQWidgetBase* panel, int32_t row, const std::u16string& label,
                                         const std::u16string& lowText, const std::u16string& highText) {
  const size_t r = static_cast<size_t>(row);
  MQFrame* field = CreateHorizontalFrame(panel);
  CreateLabel(field, label);
  spins_[r] = CreateValueSpin(field, 0.0, 1.0, 0.01);
  spins_[r]->SetInt("visiblecolumn", 6);
  if (row == kPivotU || row == kPivotV) {
    AddChangingEvent(*spins_[r], this, &NumericalManipulateDialog::OnPivotChanged);
  } else {
    AddChangingEvent(*spins_[r], this, &NumericalManipulateDialog::OnRectangleChanged);
  }

  MQFrame* buttons = CreateHorizontalFrame(panel);
  initButtons_[r] = CreateActionButton(buttons, u"Init", &NumericalManipulateDialog::OnInit);
  lowButtons_[r] = CreateActionButton(buttons, lowText, &NumericalManipulateDialog::OnLow);
  halfButtons_[r] = CreateActionButton(buttons, u"0.5", &NumericalManipulateDialog::OnHalf);
  highButtons_[r] = CreateActionButton(buttons, highText, &NumericalManipulateDialog::OnHigh);
}

MQDoubleSpinBox* NumericalManipulateDialog::CreateValueSpin(MQWidgetBase* parent, double min, double max,
                                                            double increment) {
  MQDoubleSpinBox* spin = CreateDoubleSpinBox(parent);
  spin->SetDouble("min", min);
  spin->SetDouble("max", max);
  spin->SetDouble("increment", increment);
  return spin;
}

MQButton* NumericalManipulateDialog::CreateActionButton(
    MQWidgetBase* parent, const std::u16string& text,
    bool (NumericalManipulateDialog::*handler)(MQWidgetBase*, MQDocument)) {
  MQButton* button = CreateButton(parent, text);
  AddExecuteEvent(*button, this, handler);
  return button;
}

void NumericalManipulateDialog::UpdatePivot(int32_t k) {
  if (IsURow(k) || k == kAllRows) {
    SetValue(kPivotU, PivotBetween(Value(kUMin), Value(kUMax)));
    UpdateMoveOffset(k);
  }
  if (IsVRow(k) || k == kAllRows) {
    SetValue(kPivotV, PivotBetween(Value(kVMin), Value(kVMax)));
    UpdateMoveOffset(k);
  }
}

void NumericalManipulateDialog::UpdateMoveOffset(int32_t k) {
  if (IsURow(k) || k == kPivotU || k == kAllRows)
    moveUSpin_->SetPosition(MoveOffsetTo(Value(kPivotU), openBounds_.umin, openBounds_.umax));
  if (IsVRow(k) || k == kPivotV || k == kAllRows)
    moveVSpin_->SetPosition(MoveOffsetTo(Value(kPivotV), openBounds_.vmin, openBounds_.vmax));
}

UVBounds NumericalManipulateDialog::TypedBounds() const {
  return {static_cast<float>(Value(kUMin)), static_cast<float>(Value(kUMax)), static_cast<float>(Value(kVMin)),
          static_cast<float>(Value(kVMax))};
}

UVPair NumericalManipulateDialog::TypedPivot() const {
  return {static_cast<float>(Value(kPivotU)), static_cast<float>(Value(kPivotV))};
}

int32_t NumericalManipulateDialog::RowOf(const std::array<MQButton*, kRowCount>& buttons,
                                         const MQWidgetBase* sender) {
  for (int32_t row = 0; row < kRowCount; ++row) {
    if (sender != nullptr && buttons[static_cast<size_t>(row)] == sender) return row;
  }
  return -1;
}

bool NumericalManipulateDialog::OnRectangleChanged(MQWidgetBase*, MQDocument) {
  UpdatePivot(kAllRows);
  return false;
}

bool NumericalManipulateDialog::OnPivotChanged(MQWidgetBase* sender, MQDocument) {
  if (sender != nullptr && sender == spins_[kPivotU]) {
    UpdateMoveOffset(kPivotU);
  } else if (sender != nullptr && sender == spins_[kPivotV]) {
    UpdateMoveOffset(kPivotV);
  }
  return false;
}

// Each value button sets its row, then lets the pivot (rectangle rows) or
// the Move offset (pivot rows) follow.
bool NumericalManipulateDialog::OnInit(MQWidgetBase* sender, MQDocument) {
  const int32_t k = RowOf(initButtons_, sender);
  switch (k) {
    case kVMin: SetValue(k, openBounds_.vmin); break;
    case kUMin: SetValue(k, openBounds_.umin); break;
    case kUMax: SetValue(k, openBounds_.umax); break;
    case kVMax: SetValue(k, openBounds_.vmax); break;
    case kPivotU: SetValue(k, OpenCentre(openBounds_.umin, openBounds_.umax)); break;
    case kPivotV: SetValue(k, OpenCentre(openBounds_.vmin, openBounds_.vmax)); break;
    default: return false;
  }
  if (k <= kVMax) {
    UpdatePivot(k);
  } else {
    UpdateMoveOffset(k);
  }
  return false;
}

bool NumericalManipulateDialog::OnLow(MQWidgetBase* sender, MQDocument) {
  const int32_t k = RowOf(lowButtons_, sender);
  switch (k) {
    case kVMin:
    case kUMin: SetValue(k, 0.0); break;
    case kUMax:
    case kPivotU: SetValue(k, Value(kUMin)); break;
    case kVMax:
    case kPivotV: SetValue(k, Value(kVMin)); break;
    default: return false;
  }
  if (k <= kVMax) {
    UpdatePivot(k);
  } else {
    UpdateMoveOffset(k);
  }
  return false;
}

bool NumericalManipulateDialog::OnHalf(MQWidgetBase* sender, MQDocument) {
  const int32_t k = RowOf(halfButtons_, sender);
  if (k < 0) return false;
  SetValue(k, 0.5);
  UpdatePivot(k);
  UpdateMoveOffset(k);
  return false;
}

bool NumericalManipulateDialog::OnHigh(MQWidgetBase* sender, MQDocument) {
  const int32_t k = RowOf(highButtons_, sender);
  switch (k) {
    case kVMin:
    case kPivotV: SetValue(k, Value(kVMax)); break;
    case kUMin:
    case kPivotU: SetValue(k, Value(kUMax)); break;
    case kUMax:
    case kVMax: SetValue(k, 1.0); break;
    default: return false;
  }
  if (k <= kVMax) {
    UpdatePivot(k);
  } else {
    UpdateMoveOffset(k);
  }
  return false;
}

// Mirrors about the centre of the typed rectangle, never the pivot fields.
bool NumericalManipulateDialog::OnInvert(MQWidgetBase* sender, MQDocument document) {
  InvertDirection direction;
  if (sender != nullptr && sender == invertH_) {
    direction = InvertDirection::kHorizontal;
  } else if (sender != nullptr && sender == invertV_) {
    direction = InvertDirection::kVertical;
  } else {
    return false;
  }
  return InvertUV(document, TypedBounds(), direction, false);
}

bool NumericalManipulateDialog::OnTurn(MQWidgetBase* sender, MQDocument document) {
  TurnDirection direction;
  if (sender != nullptr && sender == turnU_) {
    direction = TurnDirection::kUp;
  } else if (sender != nullptr && sender == turnD_) {
    direction = TurnDirection::kDown;
  } else if (sender != nullptr && sender == turnL_) {
    direction = TurnDirection::kLeft;
  } else if (sender != nullptr && sender == turnR_) {
    direction = TurnDirection::kRight;
  } else {
    return false;
  }
  return TurnUV(document, TypedBounds(), direction);
}

bool NumericalManipulateDialog::OnRotate(MQWidgetBase*, MQDocument document) {
  return RotateUV(document, static_cast<float>(angleSpin_->GetPosition()), TypedPivot());
}

bool NumericalManipulateDialog::OnMove(MQWidgetBase*, MQDocument document) {
  const UVPair offset = {static_cast<float>(moveUSpin_->GetPosition()),
                         static_cast<float>(moveVSpin_->GetPosition())};
  return MoveUV(document, offset);
}

bool NumericalManipulateDialog::OnScale(MQWidgetBase*, MQDocument document) {
  return ScaleUV(document, static_cast<float>(scaleSpin_->GetPosition()), TypedPivot());
}

}  // namespace pavlex
