#include "plugin/window/texture_output_dialog.h"

#include <clocale>

#include "hostapi/mq_codes.h"
#include "platform/text_conversion.h"
#include "plugin/output/output_layout_image.h"
#include "plugin/widgets/message_box.h"
#include "plugin/widgets/save_file_dialog.h"
#include "plugin/widgets/widget_events.h"

namespace pavlex {

namespace {

struct FlagBox {
  MQCheckBox* box;
  OutputFlags bit;
};

}  // namespace

TextureOutputDialog::TextureOutputDialog(const MQWindowBase& parent, PluginState& state)
    : MQDialog(parent), state_(&state), owner_(&parent) {
  // Extensions are lower-cased by the locale's character classes.
  std::setlocale(LC_CTYPE, "");
  SetWideString("title", u"FileOuput");
  SetDouble("outspace", 0.0);
  SetDouble("inspace", 0.0);
  MQFrame* column = CreateVerticalFrame(this);

  MQFrame* sizeFrame = CreateHorizontalFrame(column);
  sizeFrame->SetBool("multicolumn", true);
  sizeFrame->SetInt("matrixcolumn", 2);
  for (MQSpinBox** spin : {&widthSpin_, &heightSpin_}) {
    *spin = CreateSpinBox(sizeFrame);
    (*spin)->SetInt("min", kOutputSizeMin);
    (*spin)->SetInt("max", kOutputSizeMax);
    (*spin)->SetInt("visiblecolumn", 5);
    (*spin)->SetInt("increment", 4);
    AddExecuteEvent(**spin, this, &TextureOutputDialog::SnapImageSize);
  }

  MQFrame* layerFrame = CreateHorizontalFrame(column);
  layerFrame->SetBool("multicolumn", true);
  layerFrame->SetInt("matrixcolumn", 2);
  wireframeCheck_ = CreateCheckBox(layerFrame, u"wireframe");
  materialColorCheck_ = CreateCheckBox(layerFrame, u"material color");
  objectColorCheck_ = CreateCheckBox(layerFrame, u"object color");
  shaderCheck_ = CreateCheckBox(layerFrame, u"shader");

  MQFrame* memoryFrame = CreateHorizontalFrame(column);
  memoryCheck_ = CreateCheckBox(memoryFrame, u"memory");
  MQFrame* slotFrame = CreateHorizontalFrame(memoryFrame);
  for (int slot = 0; slot < kUVSlotCount; ++slot) {
    const std::string label = std::to_string(slot + 1);
    memorySlotChecks_[static_cast<size_t>(slot)] = CreateCheckBox(slotFrame, std::u16string(label.begin(), label.end()));
  }

  MQFrame* filterFrame = CreateHorizontalFrame(column);
  currentObjectCheck_ = CreateCheckBox(filterFrame, u"current object");
  currentMaterialCheck_ = CreateCheckBox(filterFrame, u"current material");

  MQFrame* clipboardFrame = CreateHorizontalFrame(column);
  AddExecuteEvent(*CreateButton(clipboardFrame, u"Color to Clipboard"), this,
                  &TextureOutputDialog::CopyColorToClipboard);
  AddExecuteEvent(*CreateButton(clipboardFrame, u"Alpha to Clipboard"), this,
                  &TextureOutputDialog::CopyAlphaToClipboard);

  MQFrame* fileFrame = CreateHorizontalFrame(column);
  fileNameEdit_ = CreateEdit(fileFrame);
  fileNameEdit_->SetNarrowString("horzlayout", "fill");
  AddExecuteEvent(*CreateButton(fileFrame, u"refer"), this, &TextureOutputDialog::BrowseOutputFile);

  MQFrame* buttonFrame = CreateHorizontalFrame(column);
  MQButton* ok = CreateButton(buttonFrame, u"OK");
  ok->SetInt("modalresult", MQMODALRESULT_OK);
  ok->SetBool("default", true);
  MQButton* cancel = CreateButton(buttonFrame, u"Cancel");
  cancel->SetBool("cancel", true);
  cancel->SetInt("modalresult", MQMODALRESULT_CANCEL);

  const OutputFlags flags = state.output.flags;
  for (const FlagBox& entry : {FlagBox{wireframeCheck_, kOutputWireframe}, FlagBox{materialColorCheck_, kOutputMaterialColor},
                               FlagBox{objectColorCheck_, kOutputObjectColor}, FlagBox{shaderCheck_, kOutputShader},
                               FlagBox{currentObjectCheck_, kOutputCurrentObject},
                               FlagBox{currentMaterialCheck_, kOutputCurrentMaterial}}) {
    entry.box->SetChecked((flags & entry.bit) != 0);
  }
}

OutputOptions TextureOutputDialog::CollectOutputOptions(OutputFlags clipboardBit) const {
  OutputOptions options = {0, 0, clipboardBit, 0};
  for (const FlagBox& entry : {FlagBox{wireframeCheck_, kOutputWireframe}, FlagBox{materialColorCheck_, kOutputMaterialColor},
                               FlagBox{objectColorCheck_, kOutputObjectColor}, FlagBox{shaderCheck_, kOutputShader},
                               FlagBox{currentObjectCheck_, kOutputCurrentObject},
                               FlagBox{currentMaterialCheck_, kOutputCurrentMaterial}}) {
    if (entry.box->GetChecked()) options.flags |= entry.bit;
  }
  options.width = widthSpin_->GetPosition();
  options.height = heightSpin_->GetPosition();
  if (memoryCheck_->GetChecked()) {
    for (size_t slot = 0; slot < memorySlotChecks_.size(); ++slot) {
      if (memorySlotChecks_[slot]->GetChecked()) options.memoryMask |= 1u << slot;
    }
  }
  return options;
}

bool TextureOutputDialog::WriteOutputFile(MQDocument document) {
  const std::u16string fileName = fileNameEdit_->GetText();
  if (fileName.empty()) return false;
  const OutputOptions options = CollectOutputOptions(0);
  const OutputResult result = OutputLayoutImage(*state_, document, options.width, options.height, fileName,
                                                options.flags, options.memoryMask);
  // A name without an image extension draws and drops the picture; the
  // person who pressed OK still hears that no file was written.
  std::u16string reason;
  if (result.status == OutputStatus::kNoDestination) {
    reason = u"the name does not end in .bmp, .jpg, .jpeg, .png or .tga";
  } else if (result.failed()) {
    reason = platform::Utf8ToUtf16(result.reason);
  } else {
    return true;
  }
  // The dialog has closed by now, so the message stands over its owner.
  ShowMessageOk(*owner_, u"Cannot write " + fileName + u": " + reason, u"Pavlex");
  return false;
}

bool TextureOutputDialog::SnapImageSize(MQWidgetBase* sender, MQDocument) {
  auto* spin = dynamic_cast<MQSpinBox*>(sender);
  if (!spin) return false;
  // % keeps the sign of the position, so positive sizes round down to a
  // multiple of 4; 1 to 3 become 0, which outputs nothing.
  const int32_t position = spin->GetPosition();
  spin->SetPosition(position - position % 4);
  return false;
}

bool TextureOutputDialog::CopyToClipboard(MQDocument document, OutputFlags clipboardBit) {
  const OutputOptions options = CollectOutputOptions(clipboardBit);
  OutputLayoutImage(*state_, document, options.width, options.height, std::u16string(), options.flags,
                    options.memoryMask);
  return false;
}

bool TextureOutputDialog::CopyColorToClipboard(MQWidgetBase*, MQDocument document) {
  return CopyToClipboard(document, kOutputColorToClipboard);
}

bool TextureOutputDialog::CopyAlphaToClipboard(MQWidgetBase*, MQDocument document) {
  return CopyToClipboard(document, kOutputAlphaToClipboard);
}

bool TextureOutputDialog::BrowseOutputFile(MQWidgetBase*, MQDocument) {
  MQSaveFileDialog dialog(*this);
  dialog.SetTitle(u"Texture filename");
  dialog.AddFilter(u"Bitmap file (*.bmp)|*.bmp");
  dialog.AddFilter(u"Tegra file (*.tga)|*.tga");
  dialog.AddFilter(u"Jpeg file (*.jpg)|*.jpg;*.jpeg");
  dialog.AddFilter(u"PNG file (*.png)|*.png");
  dialog.SetFilterIndex(0);
  dialog.SetFileName(fileNameEdit_->GetText());
  if (!dialog.Execute()) return false;
  fileNameEdit_->SetText(dialog.GetFileName());
  return true;
}

}  // namespace pavlex
