// The "FileOuput" dialog: image size, layers, face filters, memory slots
// and file name of a layout output, and the two clipboard copies, which
// run while the dialog stays open.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "hostapi/mq_types.h"
#include "plugin/state/output_flags.h"
#include "plugin/state/plugin_state.h"
#include "plugin/widgets/dialog.h"
#include "plugin/widgets/widgets.h"

namespace pavlex {

struct OutputOptions {
  int32_t width;   // pixels, the spin box's position
  int32_t height;  // pixels
  OutputFlags flags;
  MemoryMask memoryMask;  // 0 unless "memory" is checked
};

class TextureOutputDialog : public MQDialog {
 public:
  // Builds every widget; the layer and filter boxes are checked from the
  // state's OutputSettings flags, "memory" and its slot boxes never. The
  // caller sets the spin positions and the file name.
  TextureOutputDialog(const MQWindowBase& parent, PluginState& state);
  ~TextureOutputDialog() override = default;

  MQSpinBox* widthSpin() const { return widthSpin_; }
  MQSpinBox* heightSpin() const { return heightSpin_; }
  MQEdit* fileNameEdit() const { return fileNameEdit_; }

  // The options the widgets hold now, with `clipboardBit` (0, 0x1000 or
  // 0x2000) added to the flags.
  OutputOptions CollectOutputOptions(OutputFlags clipboardBit) const;

  // The work of "OK", once the dialog has closed with it: outputs to the
  // file named in the edit (an empty name outputs nothing) and, when the
  // file could not be written, says why in an OK-only message box over the
  // window that opened the dialog: "Cannot write FILE: REASON". Answers
  // whether an output ran and did not fail.
  bool WriteOutputFile(MQDocument document);

  // Handlers, bound at construction.
  bool SnapImageSize(MQWidgetBase* sender, MQDocument document);
  bool CopyColorToClipboard(MQWidgetBase* sender, MQDocument document);
  bool CopyAlphaToClipboard(MQWidgetBase* sender, MQDocument document);
  bool BrowseOutputFile(MQWidgetBase* sender, MQDocument document);

 private:
  bool CopyToClipboard(MQDocument document, OutputFlags clipboardBit);

  PluginState* state_;           // not owned
  const MQWindowBase* owner_;    // the window that opened the dialog; not owned
  MQSpinBox* widthSpin_ = nullptr;
  MQSpinBox* heightSpin_ = nullptr;
  MQCheckBox* wireframeCheck_ = nullptr;
  MQCheckBox* materialColorCheck_ = nullptr;
  MQCheckBox* objectColorCheck_ = nullptr;
  MQCheckBox* shaderCheck_ = nullptr;
  MQCheckBox* currentObjectCheck_ = nullptr;
  MQCheckBox* currentMaterialCheck_ = nullptr;
  MQCheckBox* memoryCheck_ = nullptr;
  std::array<MQCheckBox*, kUVSlotCount> memorySlotChecks_ = {};
  MQEdit* fileNameEdit_ = nullptr;
};

}  // namespace pavlex
