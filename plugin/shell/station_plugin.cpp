#include "plugin/shell/station_plugin.h"

#include <cstring>

#include "hostapi/mq_codes.h"
#include "plugin/widgets/option_list.h"

namespace pavlex {

namespace {

uint32_t ReadUintOption(const void* options, const char* key) {
  return static_cast<uint32_t>(ReadIntOption(options, key, 0));
}

template <class Handle>
Handle ReadHandleOption(const void* options, const char* key) {
  return static_cast<Handle>(FindOptionValue(options, key));
}

void WriteIntResult(void* options, int32_t answer) {
  void* slot = FindOptionValue(options, "result");
  if (slot != nullptr) std::memcpy(slot, &answer, sizeof answer);
}

}  // namespace

MQBOOL MQStationPlugin::HandleEvent(MQDocument document, int32_t event, void* option) {
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
      OnDraw(document, ReadHandleOption<MQScene>(option, "scene"), ReadIntOption(option, "width", 1),
             ReadIntOption(option, "height", 1));
      return 1;
    case MQEVENT_END_DOCUMENT:
      OnDocumentEnd(document);
      return 1;

    case MQEVENT_ENUM_SUBCOMMAND:
      WriteIntResult(option, EnumSubCommand(ReadIntOption(option, "index", 0)));
      return 1;
    case MQEVENT_SUBCOMMAND_STRING: {
      const MQWChar* name = GetSubCommandString(ReadIntOption(option, "index", 0));
      void* slot = FindOptionValue(option, "result");
      if (slot != nullptr) std::memcpy(slot, &name, sizeof name);
      return 1;
    }
    case MQEVENT_ENUM_SUBCOMMAND_EX:
      OnSubCommand(document);
      return 1;
    case MQEVENT_USER_MESSAGE:
    case MQEVENT_MESSAGE_QUERY: {
      const uint32_t product = ReadUintOption(option, "src_product");
      const uint32_t id = ReadUintOption(option, "src_id");
      const char* description = ReadStringOption(option, "description");
      void* message = FindOptionValue(option, "message");
      WriteIntResult(option, event == MQEVENT_USER_MESSAGE
                                 ? OnUserMessage(document, product, id, description, message)
                                 : OnMessageQuery(document, product, id, description, message));
      return 1;
    }
    case MQEVENT_MINIMIZE:
      return OnMinimize(document, ReadIntOption(option, "index", 0)) ? 1 : 0;
    case MQEVENT_UNDO_STATE:
      return OnUndoState(document) ? 1 : 0;
    case MQEVENT_NEW_DOCUMENT:
      OnNewDocument(document, ReadHandleOption<MQXmlElement>(option, "xml_elem"),
                    ReadHandleOption<const MQWChar*>(option, "filename"));
      return 1;
    case MQEVENT_SAVE_DOCUMENT:
      OnSaveDocument(document, ReadHandleOption<MQXmlElement>(option, "xml_elem"),
                     ReadHandleOption<const MQWChar*>(option, "filename"));
      return 1;
    case MQEVENT_SAVE_PAST_DOCUMENT:
      OnSavePastDocument(document, ReadHandleOption<MQXmlElement>(option, "xml_elem"),
                         ReadHandleOption<const MQWChar*>(option, "filename"),
                         ReadIntOption(option, "past_state", 0));
      return 1;
    case MQEVENT_MERGE_DOCUMENT:
      OnMergeDocument(document, ReadHandleOption<MQXmlElement>(option, "xml_elem"),
                      ReadHandleOption<MQDocument>(option, "srcdoc"), FindOptionValue(option, "object_table"),
                      FindOptionValue(option, "material_table"),
                      ReadHandleOption<const MQWChar*>(option, "filename"));
      return 1;
    case MQEVENT_UNDO:
      return OnUndo(document, ReadIntOption(option, "state", 0)) ? 1 : 0;
    case MQEVENT_REDO:
      return OnRedo(document, ReadIntOption(option, "state", 0)) ? 1 : 0;
    case MQEVENT_UNDO_UPDATED:
      OnUndoUpdated(document, ReadIntOption(option, "size", 0), ReadIntOption(option, "state", 0));
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
      OnSceneChanged(document, ReadHandleOption<MQScene>(option, "scene"));
      return 1;
    case MQEVENT_EDIT_OPTION:
      OnEditOptionChanged(document, ReadStringOption(option, "trigger"));
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
