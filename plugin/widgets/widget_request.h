// The one door to the host's widget service. Every request of the widget
// layer goes through here, so a plug-in that was never bound to a host (or
// whose host lacks the service) gets a refusal instead of a null call.
#pragma once

#include <cstdint>

#include "optionlist/option_list.h"

namespace pavlex {

// MQWidget_Value (id, code, options); false when the host refused or no
// host is bound.
bool WidgetRequest(int32_t id, int32_t code, OptionListBuilder& options);

// The id of a host-owned widget such as "main_window"; 0 when none.
int32_t GetSystemWidget(const char* name);

// Creates a host widget of `type`, optionally attached to `parentId` (file
// dialogs need their parent at creation; 0 passes none). Answers its id, 0
// on failure.
int32_t CreateHostWidget(const char* type, int32_t parentId = 0);

// Deletes the host widget `id`; id 0 is never sent.
void DeleteHostWidget(int32_t id);

}  // namespace pavlex
