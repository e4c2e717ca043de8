// The host's save-file dialog. Not a widget of a window: it has its own
// host widget, created with its parent and deleted with the object.
#pragma once

#include <cstdint>
#include <string>

#include "plugin/widgets/widget_base.h"

namespace pavlex {

class MQFileDialogBase {
 public:
  virtual ~MQFileDialogBase();
  MQFileDialogBase(const MQFileDialogBase&) = delete;
  MQFileDialogBase& operator=(const MQFileDialogBase&) = delete;

  int32_t GetID() const { return id_; }  // 0 when the host refused it

  void SetTitle(const std::u16string& title);
  // Adds one filter line, e.g. u"PNG (*.png)|*.png".
  void AddFilter(const std::u16string& filter);
  void SetFileName(const std::u16string& name);
  std::u16string GetFileName() const;
  void SetFilterIndex(int32_t index);
  int32_t GetFilterIndex() const;

 protected:
  MQFileDialogBase(const char* typeName, const MQWidgetBase& parent);

  // A handle for property requests on the dialog's host widget; it neither
  // registers nor deletes anything.
  MQWidgetBase handle_;

 private:
  int32_t id_ = 0;
};

class MQSaveFileDialog : public MQFileDialogBase {
 public:
  explicit MQSaveFileDialog(const MQWidgetBase& parent);
  ~MQSaveFileDialog() override = default;

  // Shows the dialog; true when the user chose a file name.
  bool Execute();
};

}  // namespace pavlex
