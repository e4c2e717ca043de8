// The host's modal message box.
#pragma once

#include <string>

#include "plugin/widgets/widget_base.h"

namespace pavlex {

// Shows `message` with OK and Cancel over `parent`; true when the user
// chose OK. A host that cannot show it answers false (Cancel).
bool ConfirmOkCancel(const MQWidgetBase& parent, const std::u16string& message, const std::u16string& title);

// Shows `message` with an OK button only over `parent` and returns when
// the user has dismissed it.
void ShowMessageOk(const MQWidgetBase& parent, const std::u16string& message, const std::u16string& title);

}  // namespace pavlex
