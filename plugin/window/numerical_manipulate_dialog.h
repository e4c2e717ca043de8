// The "Numerical Manipulate" dialog: a typed UV rectangle and pivot, and
// buttons that mirror, reflect, rotate, move and scale the selected UV
// vertices of the current object by exact values. Each operation acts on
// the document at once while the dialog stays open; "Cancel" (modal result
// 2) closes it and undoes nothing.
//
// The rectangle opens as the selection's bounds, the pivot at its centre,
// and the Move offsets are kept at pivot minus the opening centre, so that
// "Move" carries the selection's centre onto the pivot unless the user types
// other offsets.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "hostapi/mq_types.h"
#include "plugin/model/uv_pair.h"
#include "plugin/tools/transform/uv_bounds.h"
#include "plugin/widgets/dialog.h"
#include "plugin/widgets/widgets.h"

namespace pavlex {

class NumericalManipulateDialog : public MQDialog {
 public:
  // Rows of the rectangle and pivot editor, in field order.
  enum Row : int32_t { kVMin = 0, kUMin = 1, kUMax = 2, kVMax = 3, kPivotU = 4, kPivotV = 5 };
  static constexpr int32_t kRowCount = 6;
  static constexpr int32_t kAllRows = -1;

  // Builds every widget and fills the fields from the UV selection of the
  // current object of `document` (the unit square when none is selected).
  NumericalManipulateDialog(const MQWindowBase& parent, MQDocument document);
  ~NumericalManipulateDialog() override = default;

  // The opening rectangle, fixed for the dialog's life.
  const UVBounds& openBounds() const { return openBounds_; }

  // The pivot follows the rectangle's centre for row k (kUMin, kUMax: u;
  // kVMin, kVMax: v; kAllRows: both), and the Move offsets follow it.
  void UpdatePivot(int32_t k);
  // The Move offset follows the pivot for row k (u rows and kPivotU: u;
  // v rows and kPivotV: v; kAllRows: both).
  void UpdateMoveOffset(int32_t k);

 private:
  MQFrame* CreatePanel(MQWidgetBase* parent, bool vertical);
  // One row of the editor: label and spin box, then Init, low, 0.5, high.
  void BuildRow(MQWidgetBase* panel, int32_t row, const std::u16string& label, const std::u16string& lowText,
                const std::u16string& highText);
  MQDoubleSpinBox* CreateValueSpin(MQWidgetBase* parent, double min, double max, double increment);
  MQButton* CreateActionButton(MQWidgetBase* parent, const std::u16string& text,
                               bool (NumericalManipulateDialog::*handler)(MQWidgetBase*, MQDocument));
  double Value(int32_t row) const { return spins_[static_cast<size_t>(row)]->GetPosition(); }
  void SetValue(int32_t row, double value) { spins_[static_cast<size_t>(row)]->SetPosition(value); }
  UVBounds TypedBounds() const;
  UVPair TypedPivot() const;
  // The row whose button in `buttons` is `sender`, or -1.
  static int32_t RowOf(const std::array<MQButton*, kRowCount>& buttons, const MQWidgetBase* sender);

  bool OnRectangleChanged(MQWidgetBase* sender, MQDocument document);
  bool OnPivotChanged(MQWidgetBase* sender, MQDocument document);
  bool OnInit(MQWidgetBase* sender, MQDocument document);
  bool OnLow(MQWidgetBase* sender, MQDocument document);
  bool OnHalf(MQWidgetBase* sender, MQDocument document);
  bool OnHigh(MQWidgetBase* sender, MQDocument document);
  bool OnInvert(MQWidgetBase* sender, MQDocument document);
  bool OnTurn(MQWidgetBase* sender, MQDocument document);
  bool OnRotate(MQWidgetBase* sender, MQDocument document);
  bool OnMove(MQWidgetBase* sender, MQDocument document);
  bool OnScale(MQWidgetBase* sender, MQDocument document);

  MQDocument document_;
  UVBounds openBounds_;
  std::array<MQDoubleSpinBox*, kRowCount> spins_ = {};
  std::array<MQButton*, kRowCount> initButtons_ = {};
  std::array<MQButton*, kRowCount> lowButtons_ = {};   // "0" or "min"
  std::array<MQButton*, kRowCount> highButtons_ = {};  // "max" or "1.0"
  std::array<MQButton*, kRowCount> halfButtons_ = {};  // "0.5"
  MQButton* invertH_ = nullptr;
  MQButton* invertV_ = nullptr;
  MQButton* turnU_ = nullptr;
  MQButton* turnD_ = nullptr;
  MQButton* turnL_ = nullptr;
  MQButton* turnR_ = nullptr;
  MQButton* rotate_ = nullptr;
  MQDoubleSpinBox* angleSpin_ = nullptr;   // degrees
  MQDoubleSpinBox* moveUSpin_ = nullptr;
  MQDoubleSpinBox* moveVSpin_ = nullptr;
  MQDoubleSpinBox* scaleSpin_ = nullptr;   // factor
  MQButton* move_ = nullptr;
  MQButton* scale_ = nullptr;
};

}  // namespace pavlex
