// A station plug-in: listed among the host's commands under one name,
// switched on and off by the user, and told about host events through
// MQOnEvent. HandleEvent turns an event code and its option list into one
// call of the operations below; every operation a plug-in does not provide
// does nothing and answers 0 or false.
//
// Option values, by key, as the host passes them: "index", "state", "size",
// "width", "height", "past_state" point to an int32; "src_product" and
// "src_id" to a uint32; "scene", "xml_elem", "srcdoc", "object_table",
// "material_table" and "message" are the pointer itself, as are the strings
// "filename" (UTF-16) and "trigger", "description" (narrow). "result" points
// to the caller's preset answer: an int32, except for event 4 where it is a
// `const MQWChar*`.
#pragma once

#include <cstdint>

#include "hostapi/mq_types.h"
#include "plugin/shell/base_plugin.h"

namespace pavlex {

class MQStationPlugin : public MQBasePlugin {
 public:
  ~MQStationPlugin() override = default;

  // Event 3: number of sub-commands; event 4: the name of one.
  virtual int32_t EnumSubCommand(int32_t) { return 0; }
  virtual const MQWChar* GetSubCommandString(int32_t) { return nullptr; }

  virtual bool Initialize() { return false; }  // event 1
  virtual void Exit() {}                       // event 2
  // Event 100: switch on (flag true) or off; answers the new state.
  virtual bool Activate(MQDocument, bool) { return false; }
  virtual bool IsActivated(MQDocument) { return false; }  // event 101

  virtual void OnSubCommand(MQDocument) {}                                                          // 7
  virtual int32_t OnUserMessage(MQDocument, uint32_t, uint32_t, const char*, void*) { return 0; }   // 102
  virtual int32_t OnMessageQuery(MQDocument, uint32_t, uint32_t, const char*, void*) { return 0; }  // 103
  virtual bool OnMinimize(MQDocument, int32_t) { return false; }                                    // 104
  virtual bool OnUndoState(MQDocument) { return false; }                                            // 105

  // Event 110: the host has drawn (or is about to draw) its views.
  virtual void OnDraw(MQDocument, MQScene, int32_t, int32_t) {}

  virtual void OnNewDocument(MQDocument, MQXmlElement, const MQWChar*) {}                // 200
  virtual void OnSaveDocument(MQDocument, MQXmlElement, const MQWChar*) {}               // 202
  virtual void OnSavePastDocument(MQDocument, MQXmlElement, const MQWChar*, int32_t) {}  // 203

  // Event 201: the document is about to be closed or replaced.
  virtual void OnDocumentEnd(MQDocument) {}

  virtual void OnMergeDocument(MQDocument, MQXmlElement, MQDocument, void*, void*, const MQWChar*) {}  // 204
  virtual bool OnUndo(MQDocument, int32_t) { return false; }                                           // 210
  virtual bool OnRedo(MQDocument, int32_t) { return false; }                                           // 211
  virtual void OnUndoUpdated(MQDocument, int32_t, int32_t) {}                                          // 212
  virtual void OnObjectModified(MQDocument) {}                                                         // 220
  virtual void OnObjectSelected(MQDocument) {}                                                         // 221
  virtual void OnObjectListChanged(MQDocument) {}                                                      // 222
  virtual void OnMaterialModified(MQDocument) {}                                                       // 230
  virtual void OnMaterialListChanged(MQDocument) {}                                                    // 231
  virtual void OnSceneChanged(MQDocument, MQScene) {}                                                  // 240
  virtual void OnEditOptionChanged(MQDocument, const char*) {}                                         // 250
  virtual void OnSnapGrid(MQDocument, int32_t) {}  // 260..262

  // The answer of MQOnEvent for `event`. `option` is an option list, except
  // for event 100 where it points to an int32 flag; either may be null.
  // Mouse and key events (120..130, 140, 141) belong to command plug-ins
  // and are answered 0 without a call, as is any code not listed above.
  MQBOOL HandleEvent(MQDocument document, int32_t event, void* option);
};

}  // namespace pavlex
