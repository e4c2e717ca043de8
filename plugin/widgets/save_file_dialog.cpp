#include "plugin/widgets/save_file_dialog.h"

#include "hostapi/mq_codes.h"
#include "plugin/widgets/widget_request.h"

namespace pavlex {

MQFileDialogBase::MQFileDialogBase(const char* typeName, const MQWidgetBase& parent)
    : id_(CreateHostWidget(typeName, parent.GetID())) {
  handle_.WrapHostWidget(id_);
}

MQFileDialogBase::~MQFileDialogBase() {
  DeleteHostWidget(id_);
}

void MQFileDialogBase::SetTitle(const std::u16string& title) {
  handle_.SetWideString("title", title);
}

void MQFileDialogBase::AddFilter(const std::u16string& filter) {
  int32_t result = 0;
  OptionListBuilder options;
  options.add("addfilter", nullptr).add("text", filter.c_str()).add("result", &result);
  WidgetRequest(id_, MQWIDGET_CALL_METHOD, options);
}

void MQFileDialogBase::SetFileName(const std::u16string& name) {
  handle_.SetWideString("filename", name);
}

std::u16string MQFileDialogBase::GetFileName() const {
  return handle_.GetWideString("filename");
}

void MQFileDialogBase::SetFilterIndex(int32_t index) {
  handle_.SetInt("filterindex", index);
}

int32_t MQFileDialogBase::GetFilterIndex() const {
  return handle_.GetInt("filterindex");
}

MQSaveFileDialog::MQSaveFileDialog(const MQWidgetBase& parent) : MQFileDialogBase("savefiledialog", parent) {}

bool MQSaveFileDialog::Execute() {
  uint8_t result = 0;
  OptionListBuilder options;
  options.add("type", "filesave").add("result", &result);
  WidgetRequest(GetID(), MQWIDGET_EXECUTE, options);
  return result != 0;
}

}  // namespace pavlex
