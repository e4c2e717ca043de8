#include "plugin/window/pavlex_window.h"

#include <cstdio>

#include "hostapi/mq_codes.h"
#include "plugin/model/cmq_object.h"
#include "plugin/tools/select/object_to_uv.h"
#include "plugin/tools/select/select_floating.h"
#include "plugin/tools/select/select_group.h"
#include "plugin/tools/select/select_same_vertex.h"
#include "plugin/tools/select/uv_locks.h"
#include "plugin/tools/select/uv_memory.h"
#include "plugin/tools/select/uv_to_object.h"
#include "plugin/tools/transform/equal_alloc_uv.h"
#include "plugin/tools/transform/gather_uv.h"
#include "plugin/tools/transform/grab_uv.h"
#include "plugin/tools/transform/invert_uv.h"
#include "plugin/tools/transform/sew_uv.h"
#include "plugin/tools/transform/snap_uv.h"
#include "plugin/tools/transform/symmetrize_uv.h"
#include "plugin/tools/transform/turn_uv.h"
#include "plugin/tools/transform/uv_bounds.h"
#include "plugin/widgets/message_box.h"
#include "plugin/widgets/widget_events.h"
#include "plugin/widgets/widget_request.h"
#include "plugin/window/numerical_manipulate_dialog.h"
#include "plugin/window/texture_output_dialog.h"

namespace pavlex {

namespace {

// A slot button's label: the slot number plus one, "%d".
std::u16string SlotLabel(int slot) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", slot + 1);
  return std::u16string(text, text + std::char_traits<char>::length(text));
}

// The slot whose button in `buttons` is `sender`, or -1.
int SlotOf(const std::array<MQButton*, kUVSlotCount>& buttons, const MQWidgetBase* sender) {
  for (int slot = 0; slot < kUVSlotCount; ++slot) {
    if (sender != nullptr && buttons[slot] == sender) return slot;
  }
  return -1;
}

}  // namespace

PavlexWindow::PavlexWindow(PluginState& state, const MQWindowBase& parent) : MQWindow(parent), state_(state) {
  SetWideString("title", u"Pavlex");
  SetBool("closebutton", false);
  SetBool("canresize", false);
  SetDouble("inspace", 0.0);
  SetDouble("outspace", 0.0);

  BuildTransferGroups();
  BuildSelectGroup();
  BuildGrabGroup();
  BuildInvertAndTurnGroups();
  BuildSnapGroup();
  BuildManipulateGroup();
  BuildMemoryGroup();
  BuildFileGroup();

  AddHideEvent(*this, this, &PavlexWindow::OnWindowHidden);
}

MQGroupBox* PavlexWindow::CreateGroup(MQWidgetBase* parent, const std::u16string& title, bool fitsWindow) {
  MQGroupBox* group = CreateGroupBox(parent, title);
  group->SetBool("canminimize", true);
  group->SetDouble("outspace", 0.0);
  group->SetDouble("inspace", 0.0);
  if (fitsWindow) AddResizeEvent(*group, this, &PavlexWindow::OnGroupResized);
  return group;
}

MQButton* PavlexWindow::CreateToolButton(MQWidgetBase* parent, const std::u16string& text,
                                         bool (PavlexWindow::*handler)(MQWidgetBase*, MQDocument)) {
  MQButton* button = CreateButton(parent, text);
  AddExecuteEvent(*button, this, handler);
  return button;
}

void PavlexWindow::BuildTransferGroups() {
  MQFrame* row = CreateHorizontalFrame(this);
  row->SetInt("matrixcolumn", 2);

  MQGroupBox* toObject = CreateGroup(row, u"UV -> Object", true);
  toObject->SetNarrowString("alignment", "horz");
  toObject->SetInt("matrixcolumn", 3);
  CreateToolButton(toObject, u"V", &PavlexWindow::OnUVToObjectVertex);
  CreateToolButton(toObject, u"L", &PavlexWindow::OnUVToObjectLine);
  CreateToolButton(toObject, u"F", &PavlexWindow::OnUVToObjectFace);

  MQGroupBox* toUV = CreateGroup(row, u"Object -> UV", true);
  toUV->SetNarrowString("alignment", "horz");
  toUV->SetInt("matrixcolumn", 3);
  CreateToolButton(toUV, u"V", &PavlexWindow::OnObjectToUVVertex);
  CreateToolButton(toUV, u"L", &PavlexWindow::OnObjectToUVLine);
  CreateToolButton(toUV, u"F", &PavlexWindow::OnObjectToUVFace);
}

void PavlexWindow::BuildSelectGroup() {
  MQGroupBox* group = CreateGroup(this, u"Select", true);
  MQFrame* row = CreateHorizontalFrame(group);
  CreateToolButton(row, u"floating", &PavlexWindow::OnSelectFloating);
  CreateToolButton(row, u"group", &PavlexWindow::OnSelectGroup);
  CreateToolButton(row, u"same vertex", &PavlexWindow::OnSelectSameVertex);
}

void PavlexWindow::BuildGrabGroup() {
  MQGroupBox* group = CreateGroup(this, u"Grab", true);
  MQFrame* attach = CreateHorizontalFrame(group);
  grabV_ = CreateToolButton(attach, u"V", &PavlexWindow::OnGrabVertex);
  grabF_ = CreateToolButton(attach, u"F", &PavlexWindow::OnGrabFace);
  grabG_ = CreateToolButton(attach, u"G", &PavlexWindow::OnGrabGroup);
  grabR_ = CreateToolButton(attach, u"R", &PavlexWindow::OnGrabShape);
  CreateToolButton(attach, u"Sew", &PavlexWindow::OnSew);

  MQFrame* gather = CreateHorizontalFrame(group);
  CreateToolButton(gather, u"Gather", &PavlexWindow::OnGather);
  gatherSpin_ = CreateDoubleSpinBox(gather);
  gatherSpin_->SetInt("visiblecolumn", 6);
  gatherSpin_->SetInt("decimaldigit", 4);
  gatherSpin_->SetDouble("position", 0.001);
  gatherSpin_->SetDouble("min", 0.0);
  gatherSpin_->SetDouble("max", 1.0);
  gatherSpin_->SetDouble("increment", 0.0002);
  selectedBox_ = CreateCheckBox(gather, u"selected");
}

void PavlexWindow::BuildInvertAndTurnGroups() {
  MQFrame* row = CreateHorizontalFrame(this);

  MQGroupBox* invert = CreateGroup(row, u"Invert", true);
  invert->SetNarrowString("alignment", "horz");
  invert->SetInt("matrixcolumn", 2);
  invertH_ = CreateToolButton(invert, u"H", &PavlexWindow::OnInvert);
  invertV_ = CreateToolButton(invert, u"V", &PavlexWindow::OnInvert);
  CreateLabel(invert, u"center");
  centerBox_ = CreateCheckBox(invert, u"");

  MQGroupBox* turn = CreateGroup(row, u"Trun", true);
  turn->SetNarrowString("alignment", "horz");
  turn->SetInt("matrixcolumn", 4);
  turnU_ = CreateToolButton(turn, u"U", &PavlexWindow::OnTurn);
  turnD_ = CreateToolButton(turn, u"D", &PavlexWindow::OnTurn);
  turnL_ = CreateToolButton(turn, u"L", &PavlexWindow::OnTurn);
  turnR_ = CreateToolButton(turn, u"R", &PavlexWindow::OnTurn);
  CreateLabel(turn, u"edge");
  edgeBox_ = CreateCheckBox(turn, u"");
}

void PavlexWindow::BuildSnapGroup() {
  MQGroupBox* group = CreateGroup(this, u"Snap", true);
  group->SetNarrowString("alignment", "horz");
  group->SetInt("matrixcolumn", 4);
  snapT_ = CreateToolButton(group, u"T", &PavlexWindow::OnSnap);
  snapB_ = CreateToolButton(group, u"B", &PavlexWindow::OnSnap);
  snapL_ = CreateToolButton(group, u"L", &PavlexWindow::OnSnap);
  snapR_ = CreateToolButton(group, u"R", &PavlexWindow::OnSnap);
}

// The one group that does not refit the window when it is folded.
void PavlexWindow::BuildManipulateGroup() {
  MQGroupBox* group = CreateGroup(this, u"Manipulate", false);
  MQFrame* shape = CreateHorizontalFrame(group);
  shape->SetInt("matrixcolumn", 2);
  CreateToolButton(shape, u"Regularize", &PavlexWindow::OnRegularize);
  MQFrame* symmetry = CreateHorizontalFrame(shape);
  CreateToolButton(symmetry, u"Symmetrize", &PavlexWindow::OnSymmetrize);
  CreateLabel(symmetry, u"wide");
  wideBox_ = CreateCheckBox(symmetry, u"");

  MQFrame* more = CreateHorizontalFrame(group);
  CreateToolButton(more, u"Numerical", &PavlexWindow::OnNumerical);
  CreateToolButton(more, u"Equal Alloc", &PavlexWindow::OnEqualAlloc);
}

void PavlexWindow::BuildMemoryGroup() {
  MQGroupBox* group = CreateGroup(this, u"Memory", true);
  group->SetNarrowString("alignment", "horz");
  group->SetInt("matrixcolumn", 5);
  CreateLabel(group, u"Store");
  for (int slot = 0; slot < kUVSlotCount; ++slot)
    storeButtons_[slot] = CreateToolButton(group, SlotLabel(slot), &PavlexWindow::OnStore);
  CreateLabel(group, u"Restore");
  for (int slot = 0; slot < kUVSlotCount; ++slot)
    restoreButtons_[slot] = CreateToolButton(group, SlotLabel(slot), &PavlexWindow::OnRestore);
  CreateLabel(group, u"Lock");
  // Lock reacts as the button goes down, where the event carries Ctrl and
  // Shift.
  for (int slot = 0; slot < kUVSlotCount; ++slot) {
    lockButtons_[slot] = CreateButton(group, SlotLabel(slot));
    AddLeftDownEvent(*lockButtons_[slot], this, &PavlexWindow::OnLock);
  }
}

void PavlexWindow::BuildFileGroup() {
  MQGroupBox* group = CreateGroup(this, u"File", true);
  CreateToolButton(group, u"Output", &PavlexWindow::OnOutput);
}

void PavlexWindow::FitToContent() {
  // The host answers width and height that fit; the preset is what a host
  // that does not answer leaves.
  int32_t size[4] = {0, 0, -1, -1};
  OptionListBuilder options;
  options.add("justsize", size);
  WidgetRequest(GetID(), MQWIDGET_GET_PROPERTY, options);
  SetInt("width", size[0]);
  SetInt("height", size[1]);
}

void PavlexWindow::ReleaseLockButtons() {
  for (MQButton* button : lockButtons_) button->SetDown(false);
}

bool PavlexWindow::OnUVToObjectVertex(MQWidgetBase*, MQDocument document) {
  return UVToObjectVertex(document);
}
bool PavlexWindow::OnUVToObjectLine(MQWidgetBase*, MQDocument document) {
  return UVToObjectLine(document);
}
bool PavlexWindow::OnUVToObjectFace(MQWidgetBase*, MQDocument document) {
  return UVToObjectFace(document);
}
bool PavlexWindow::OnObjectToUVVertex(MQWidgetBase*, MQDocument document) {
  return ObjectToUVVertex(document);
}
bool PavlexWindow::OnObjectToUVLine(MQWidgetBase*, MQDocument document) {
  return ObjectToUVLine(document);
}
bool PavlexWindow::OnObjectToUVFace(MQWidgetBase*, MQDocument document) {
  return ObjectToUVFace(document);
}

bool PavlexWindow::OnSelectFloating(MQWidgetBase*, MQDocument document) {
  return SelectFloating(document);
}
bool PavlexWindow::OnSelectGroup(MQWidgetBase*, MQDocument document) {
  return SelectGroup(document);
}
bool PavlexWindow::OnSelectSameVertex(MQWidgetBase*, MQDocument document) {
  return SelectSameVertex(document);
}

bool PavlexWindow::OnGrabVertex(MQWidgetBase*, MQDocument document) {
  return SewUV(document, SewMode::kToSelected, selectedBox_->GetChecked());
}

bool PavlexWindow::OnGrabFace(MQWidgetBase*, MQDocument document) {
  return GrabUV(document, GrabMode::kAttachFaces, selectedBox_->GetChecked());
}
bool PavlexWindow::OnGrabGroup(MQWidgetBase*, MQDocument document) {
  return GrabUV(document, GrabMode::kAttachIslands, selectedBox_->GetChecked());
}
bool PavlexWindow::OnGrabShape(MQWidgetBase*, MQDocument document) {
  return GrabUV(document, GrabMode::kReshapeFaces, selectedBox_->GetChecked());
}
bool PavlexWindow::OnRegularize(MQWidgetBase*, MQDocument document) {
  return GrabUV(document, GrabMode::kRegularize, selectedBox_->GetChecked());
}

bool PavlexWindow::OnSew(MQWidgetBase*, MQDocument document) {
  return SewUV(document, SewMode::kToMean, false);
}

// The spin box holds a double; UV arithmetic is single precision.
bool PavlexWindow::OnGather(MQWidgetBase*, MQDocument document) {
  return GatherUV(document, static_cast<float>(gatherSpin_->GetPosition()));
}

// The direction buttons of a group share one handler and are told apart by
// the sender. An event whose sender is none of them runs nothing.
bool PavlexWindow::OnInvert(MQWidgetBase* sender, MQDocument document) {
  InvertDirection direction;
  if (sender == invertH_) {
    direction = InvertDirection::kHorizontal;
  } else if (sender == invertV_) {
    direction = InvertDirection::kVertical;
  } else {
    return false;
  }
  const UVBounds bounds = SelectionUVBounds(cmq::CMQObject::Current(document));
  return InvertUV(document, bounds, direction, centerBox_->GetChecked());
}

bool PavlexWindow::OnTurn(MQWidgetBase* sender, MQDocument document) {
  TurnDirection direction;
  if (sender == turnU_) {
    direction = TurnDirection::kUp;
  } else if (sender == turnD_) {
    direction = TurnDirection::kDown;
  } else if (sender == turnL_) {
    direction = TurnDirection::kLeft;
  } else if (sender == turnR_) {
    direction = TurnDirection::kRight;
  } else {
    return false;
  }
  const UVBounds bounds =
      edgeBox_->GetChecked() ? kUnitUVSquare : SelectionUVBounds(cmq::CMQObject::Current(document));
  return TurnUV(document, bounds, direction);
}

bool PavlexWindow::OnSnap(MQWidgetBase* sender, MQDocument document) {
  SnapSide side;
  if (sender == snapT_) {
    side = SnapSide::kTop;
  } else if (sender == snapB_) {
    side = SnapSide::kBottom;
  } else if (sender == snapL_) {
    side = SnapSide::kLeft;
  } else if (sender == snapR_) {
    side = SnapSide::kRight;
  } else {
    return false;
  }
  const UVBounds bounds = SelectionUVBounds(cmq::CMQObject::Current(document));
  return SnapUV(document, bounds, side);
}

bool PavlexWindow::OnSymmetrize(MQWidgetBase*, MQDocument document) {
  return SymmetrizeUV(document, wideBox_->GetChecked());
}

bool PavlexWindow::OnEqualAlloc(MQWidgetBase*, MQDocument document) {
  return EqualAllocUV(document);
}

// The dialog applies its own operations while it is open; how it was closed
// does not matter here.
bool PavlexWindow::OnNumerical(MQWidgetBase*, MQDocument document) {
  NumericalManipulateDialog dialog(*this, document);
  dialog.Execute();
  return false;
}

// Only "OK" with a file name outputs; the dialog's clipboard buttons have
// already done their work while it was open.
bool PavlexWindow::OnOutput(MQWidgetBase*, MQDocument document) {
  TextureOutputDialog dialog(*this, state_);
  dialog.widthSpin()->SetPosition(state_.output.width);
  dialog.heightSpin()->SetPosition(state_.output.height);
  dialog.fileNameEdit()->SetText(state_.output.fileName);
  if (dialog.Execute() != 1) return false;
  return dialog.WriteOutputFile(document);
}

// A Store button stays down while its slot holds data, so a down button
// means the store would overwrite something.
bool PavlexWindow::OnStore(MQWidgetBase* sender, MQDocument document) {
  if (sender != nullptr && sender->GetBool("down") && !ConfirmOkCancel(*this, u"Overwrite?", u"Pavlex")) return false;
  const int slot = SlotOf(storeButtons_, sender);
  if (slot < 0) return false;
  storeButtons_[slot]->SetDown(StoreUVSelection(state_, document, slot));
  return false;
}

bool PavlexWindow::OnRestore(MQWidgetBase* sender, MQDocument document) {
  const int slot = SlotOf(restoreButtons_, sender);
  if (slot < 0) return false;
  return RestoreUVSelection(state_, document, slot);
}

// Ctrl adds the selection, Shift empties the slot, a plain click switches
// it on or off; Ctrl wins when both are held.
bool PavlexWindow::OnLock(MQWidgetBase* sender, MQDocument document, MouseState& mouse) {
  const int slot = SlotOf(lockButtons_, sender);
  if (slot < 0) return false;
  MQButton* button = lockButtons_[slot];
  bool active;
  if (mouse.ctrl) {
    active = AddUVLock(state_, document, slot);
  } else if (mouse.shift) {
    ClearUVLock(state_, slot);
    active = false;
  } else {
    active = ToggleUVLock(state_, slot, button->GetDown());
  }
  button->SetDown(active);
  return false;
}

bool PavlexWindow::OnGroupResized(MQWidgetBase*, MQDocument) {
  FitToContent();
  return false;
}

bool PavlexWindow::OnWindowHidden(MQWidgetBase*, MQDocument) {
  SwitchOff(state_);
  return false;
}

}  // namespace pavlex
