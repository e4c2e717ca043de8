// The Pavlex window: a column of titled groups of small buttons, each of
// which runs one UV tool on the host's current document when pressed.
//
// The window owns every widget it creates; the pointers below only let the
// handlers tell which button fired and read check box and spin box states,
// which are always read from the host at the click, never cached.
#pragma once

#include <array>
#include <string>

#include "hostapi/mq_types.h"
#include "plugin/state/plugin_state.h"
#include "plugin/widgets/mouse_state.h"
#include "plugin/widgets/window.h"

namespace pavlex {

class PavlexWindow : public MQWindow {
 public:
  // Creates the window as a child of `parent` and builds the whole tree,
  // binding each handler as its widget is made. The window starts hidden
  // by the host's default; the plug-in shows it on activation.
  PavlexWindow(PluginState& state, const MQWindowBase& parent);
  ~PavlexWindow() override = default;

  // Sizes the window to the width and height its content needs.
  void FitToContent();

  // Shows every Lock button released; the lock slots were emptied.
  void ReleaseLockButtons();

 private:
  void BuildTransferGroups();
  void BuildSelectGroup();
  void BuildGrabGroup();
  void BuildInvertAndTurnGroups();
  void BuildSnapGroup();
  void BuildManipulateGroup();
  void BuildMemoryGroup();
  void BuildFileGroup();

  // A group box with the properties every group of this window has.
  // `fitsWindow`: minimizing or restoring it refits the window.
  MQGroupBox* CreateGroup(MQWidgetBase* parent, const std::u16string& title, bool fitsWindow);
  MQButton* CreateToolButton(MQWidgetBase* parent, const std::u16string& text,
                             bool (PavlexWindow::*handler)(MQWidgetBase*, MQDocument));

  bool OnUVToObjectVertex(MQWidgetBase* sender, MQDocument document);
  bool OnUVToObjectLine(MQWidgetBase* sender, MQDocument document);
  bool OnUVToObjectFace(MQWidgetBase* sender, MQDocument document);
  bool OnObjectToUVVertex(MQWidgetBase* sender, MQDocument document);
  bool OnObjectToUVLine(MQWidgetBase* sender, MQDocument document);
  bool OnObjectToUVFace(MQWidgetBase* sender, MQDocument document);
  bool OnSelectFloating(MQWidgetBase* sender, MQDocument document);
  bool OnSelectGroup(MQWidgetBase* sender, MQDocument document);
  bool OnSelectSameVertex(MQWidgetBase* sender, MQDocument document);
  bool OnGrabVertex(MQWidgetBase* sender, MQDocument document);
  bool OnGrabFace(MQWidgetBase* sender, MQDocument document);
  bool OnGrabGroup(MQWidgetBase* sender, MQDocument document);
  bool OnGrabShape(MQWidgetBase* sender, MQDocument document);
  bool OnRegularize(MQWidgetBase* sender, MQDocument document);
  bool OnSew(MQWidgetBase* sender, MQDocument document);
  bool OnGather(MQWidgetBase* sender, MQDocument document);
  bool OnInvert(MQWidgetBase* sender, MQDocument document);
  bool OnTurn(MQWidgetBase* sender, MQDocument document);
  bool OnSnap(MQWidgetBase* sender, MQDocument document);
  bool OnSymmetrize(MQWidgetBase* sender, MQDocument document);
  bool OnEqualAlloc(MQWidgetBase* sender, MQDocument document);
  bool OnNumerical(MQWidgetBase* sender, MQDocument document);
  bool OnOutput(MQWidgetBase* sender, MQDocument document);
  bool OnStore(MQWidgetBase* sender, MQDocument document);
  bool OnRestore(MQWidgetBase* sender, MQDocument document);
  bool OnLock(MQWidgetBase* sender, MQDocument document, MouseState& mouse);
  bool OnGroupResized(MQWidgetBase* sender, MQDocument document);
  bool OnWindowHidden(MQWidgetBase* sender, MQDocument document);

  PluginState& state_;
  MQButton* grabV_ = nullptr;
  MQButton* grabF_ = nullptr;
  MQButton* grabG_ = nullptr;
  MQButton* grabR_ = nullptr;
  MQButton* invertH_ = nullptr;
  MQButton* invertV_ = nullptr;
  MQButton* turnU_ = nullptr;
  MQButton* turnD_ = nullptr;
  MQButton* turnL_ = nullptr;
  MQButton* turnR_ = nullptr;
  MQButton* snapT_ = nullptr;
  MQButton* snapB_ = nullptr;
  MQButton* snapL_ = nullptr;
  MQButton* snapR_ = nullptr;
  MQCheckBox* centerBox_ = nullptr;
  MQCheckBox* edgeBox_ = nullptr;
  MQCheckBox* wideBox_ = nullptr;
  MQDoubleSpinBox* gatherSpin_ = nullptr;
  MQCheckBox* selectedBox_ = nullptr;
  std::array<MQButton*, kUVSlotCount> storeButtons_ = {};
  std::array<MQButton*, kUVSlotCount> restoreButtons_ = {};
  std::array<MQButton*, kUVSlotCount> lockButtons_ = {};
};

}  // namespace pavlex
