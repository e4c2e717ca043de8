#include "plugin/shell/station_plugin.h"

#include <cstring>

#include "hostapi/mq_codes.h"
#include "optionlist/option_list.h"

namespace pavlex {

namespace {

void WriteIntResult(const OptionListView& list, int32_t answer) {
  void* slot = list.slot("result");
  if (slot != nullptr) std::memcpy(slot, &answer, sizeof answer);
}

}  // namespace

MQBOOL MQStationPlugin::HandleEvent(MQDocument document, int32_t event, void* option) {
  // Code 100 passes a bare flag instead of a list; the view reads nothing
  // until asked.
  const OptionListView list(option);
  switch (event) {
    case MQEVENT_INITIALIZE:
      return Initialize() ? 1 : 0;
    case MQEVENT_EXIT:
      Exit();
      return 1;
    case MQEVENT_ACTIVATE: {
      int32_t flag = 0;
      if (option != nullptr) std::memcpy(&flag, option, sizeof flag);
      return Activate(document, flag != 0) ? 1 : 0;
    }
    case MQEVENT_IS_ACTIVATED:
      return IsActivated(document) ? 1 : 0;
    case MQEVENT_DRAW:
      OnDraw(document, static_cast<MQScene>(list.slot("scene")), list.intValue("width").value_or(1),
             list.intValue("height").value_or(1));
      return 1;
    case MQEVENT_END_DOCUMENT:
      OnDocumentEnd(document);
      return 1;

    case MQEVENT_ENUM_SUBCOMMAND:
      WriteIntResult(list, EnumSubCommand(list.intValue("index").value_or(0)));
      return 1;
    case MQEVENT_SUBCOMMAND_STRING: {
      const MQWChar* name = GetSubCommandString(list.intValue("index").value_or(0));
      void* slot = list.slot("result");
      if (slot != nullptr) std::memcpy(slot, &name, sizeof name);
      return 1;
    }
    case MQEVENT_ENUM_SUBCOMMAND_EX:
      OnSubCommand(document);
      return 1;
    case MQEVENT_USER_MESSAGE:
    case MQEVENT_MESSAGE_QUERY: {
      const uint32_t product = static_cast<uint32_t>(list.intValue("src_product").value_or(0));
      const uint32_t id = static_cast<uint32_t>(list.intValue("src_id").value_or(0));
      const char* description = list.narrow("description");
      void* message = list.slot("message");
      WriteIntResult(list, event == MQEVENT_USER_MESSAGE
                                 ? OnUserMessage(document, product, id, description, message)
                                 : OnMessageQuery(document, product, id, description, message));
      return 1;
    }
    case MQEVENT_MINIMIZE:
      return OnMinimize(document, list.intValue("index").value_or(0)) ? 1 : 0;
    case MQEVENT_UNDO_STATE:
      return OnUndoState(document) ? 1 : 0;
    case MQEVENT_NEW_DOCUMENT:
      OnNewDocument(document, static_cast<MQXmlElement>(list.slot("xml_elem")),
                    static_cast<const MQWChar*>(list.slot("filename")));
      return 1;
    case MQEVENT_SAVE_DOCUMENT:
      OnSaveDocument(document, static_cast<MQXmlElement>(list.slot("xml_elem")),
                     static_cast<const MQWChar*>(list.slot("filename")));
      return 1;
    case MQEVENT_SAVE_PAST_DOCUMENT:
      OnSavePastDocument(document, static_cast<MQXmlElement>(list.slot("xml_elem")),
                         static_cast<const MQWChar*>(list.slot("filename")),
                         list.intValue("past_state").value_or(0));
      return 1;
    case MQEVENT_MERGE_DOCUMENT:
      OnMergeDocument(document, static_cast<MQXmlElement>(list.slot("xml_elem")),
                      static_cast<MQDocument>(list.slot("srcdoc")), list.slot("object_table"),
                      list.slot("material_table"),
                      static_cast<const MQWChar*>(list.slot("filename")));
      return 1;
    case MQEVENT_UNDO:
      return OnUndo(document, list.intValue("state").value_or(0)) ? 1 : 0;
    case MQEVENT_REDO:
      return OnRedo(document, list.intValue("state").value_or(0)) ? 1 : 0;
    case MQEVENT_UNDO_UPDATED:
      OnUndoUpdated(document, list.intValue("size").value_or(0), list.intValue("state").value_or(0));
      return 1;
    case MQEVENT_OBJECT_MODIFIED:
      OnObjectModified(document);
      return 1;
    case MQEVENT_OBJECT_SELECTED:
      OnObjectSelected(document);
      return 1;
    case MQEVENT_OBJECT_LIST:
      OnObjectListChanged(document);
      return 1;
    case MQEVENT_MATERIAL_MODIFIED:
      OnMaterialModified(document);
      return 1;
    case MQEVENT_MATERIAL_LIST:
      OnMaterialListChanged(document);
      return 1;
    case MQEVENT_SCENE:
      OnSceneChanged(document, static_cast<MQScene>(list.slot("scene")));
      return 1;
    case MQEVENT_EDIT_OPTION:
      OnEditOptionChanged(document, list.narrow("trigger"));
      return 1;
    default:
      if (event >= MQEVENT_SNAP_GRID && event <= MQEVENT_SNAP_LAST) {
        OnSnapGrid(document, event);
        return 1;
      }
      // Mouse and key events go to command plug-ins only; unknown codes are
      // not ours to answer.
      return 0;
  }
}

}  // namespace pavlex
