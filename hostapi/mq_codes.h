/* Numeric codes of the host interface: plug-in types, events, messages,
 * value codes and the request codes of the widget and settings services.
 * The numbers are part of the binary contract and never change. */
#ifndef PAVLEX_HOSTAPI_MQ_CODES_H
#define PAVLEX_HOSTAPI_MQ_CODES_H

/* Interface versions. A plug-in accepts a host whose version is at least
 * MQ_HOST_VERSION_MIN and answers MQ_PLUGIN_VERSION. */
#define MQ_PLUGIN_VERSION 0x0485
#define MQ_HOST_VERSION_MIN 0x4805

/* Plug-in types answered by MQGetPlugInType. */
#define MQPLUGIN_TYPE_IMPORT 1
#define MQPLUGIN_TYPE_EXPORT 2
#define MQPLUGIN_TYPE_STATION 6

/* Event codes of MQOnEvent. For every code but MQEVENT_ACTIVATE the option
 * argument is an option list; for MQEVENT_ACTIVATE it points to one int32
 * flag (nonzero = switch on). */
#define MQEVENT_INITIALIZE 1
#define MQEVENT_EXIT 2
#define MQEVENT_ENUM_SUBCOMMAND 3
#define MQEVENT_SUBCOMMAND_STRING 4
#define MQEVENT_ENUM_SUBCOMMAND_EX 7
#define MQEVENT_ACTIVATE 100
#define MQEVENT_IS_ACTIVATED 101
#define MQEVENT_USER_MESSAGE 102
#define MQEVENT_MESSAGE_QUERY 103
#define MQEVENT_MINIMIZE 104
#define MQEVENT_UNDO_STATE 105
#define MQEVENT_DRAW 110
#define MQEVENT_MOUSE_FIRST 120
#define MQEVENT_MOUSE_LAST 130
#define MQEVENT_KEY_DOWN 140
#define MQEVENT_KEY_UP 141
#define MQEVENT_NEW_DOCUMENT 200
#define MQEVENT_END_DOCUMENT 201
#define MQEVENT_SAVE_DOCUMENT 202
#define MQEVENT_SAVE_PAST_DOCUMENT 203
#define MQEVENT_MERGE_DOCUMENT 204
#define MQEVENT_UNDO 210
#define MQEVENT_REDO 211
#define MQEVENT_UNDO_UPDATED 212
#define MQEVENT_OBJECT_MODIFIED 220
#define MQEVENT_OBJECT_SELECTED 221
#define MQEVENT_OBJECT_LIST 222
#define MQEVENT_MATERIAL_MODIFIED 230
#define MQEVENT_MATERIAL_LIST 231
#define MQEVENT_SCENE 240
#define MQEVENT_EDIT_OPTION 250
#define MQEVENT_SNAP_GRID 260
#define MQEVENT_SNAP_LAST 262

/* Messages of MQ_SendMessage; the record is an MQSendMessageInfo. */
#define MQMESSAGE_SWITCHED_OFF 100 /* the plug-in switched itself off */
#define MQMESSAGE_GET_SETTINGS 505 /* option "pluginsettings" receives the
                                      MQXmlElement of the plug-in settings */

/* Value codes of MQObj_GetIntValue / MQObj_SetIntValue. */
#define MQOBJ_ID_LOCKING 259  /* nonzero while the object is locked */
#define MQOBJ_ID_UNIQUE_ID 260 /* process-wide unique, never reused */
/* Value codes of MQObj_GetFloatArray / MQObj_SetFloatArray. */
#define MQOBJ_ID_COLOR 0x201 /* three floats r, g, b */

/* Value codes of MQMat_GetIntValue. */
#define MQMAT_ID_UNIQUE_ID 260

/* Value codes of MQScene_IntValue and MQScene_FloatValue. */
#define MQSCENE_LIGHT_COUNT 0x402     /* int out: number of lights */
#define MQSCENE_LIGHT_SELECT 0x403    /* int in: index of the light that
                                         later light queries read */
#define MQSCENE_LIGHT_DIRECTION 0x404 /* float[3] out */
#define MQSCENE_LIGHT_COLOR 0x406     /* float[3] out */

/* MQDoc_ClearSelect flags. */
#define MQCLEARSELECT_VERTEX 0x1
#define MQCLEARSELECT_LINE 0x2
#define MQCLEARSELECT_FACE 0x4
#define MQCLEARSELECT_UVVERTEX 0x8
#define MQCLEARSELECT_ALL 0xF

/* Request codes of MQWidget_Value. */
#define MQWIDGET_GET_SYSTEM 0x100
#define MQWIDGET_CREATE 0x101
#define MQWIDGET_DELETE 0x102
#define MQWIDGET_ADD_CHILD 0x201
#define MQWIDGET_ADD_CHILD_WINDOW 0x203
#define MQWIDGET_GET_PROPERTY 0x301
#define MQWIDGET_SET_PROPERTY 0x302
#define MQWIDGET_CALL_METHOD 0x303
#define MQWIDGET_ADD_EVENT 0x304
#define MQWIDGET_EXECUTE 1

/* Modal results: what a dialog's "modalresult" button, the close box or a
 * message box answers. */
#define MQMODALRESULT_NONE 0 /* a button that does not close its dialog */
#define MQMODALRESULT_OK 1
#define MQMODALRESULT_CANCEL 2 /* also the close box */
#define MQMODALRESULT_YES 6
#define MQMODALRESULT_NO 7

/* Request codes of MQXmlElem_Value; records in mq_types.h. */
#define MQXML_ADD_CHILD 0x101
#define MQXML_REMOVE_CHILD 0x102
#define MQXML_FIND_CHILD 0x201
#define MQXML_GET_TEXT 0x302
#define MQXML_SET_TEXT 0x402

#endif /* PAVLEX_HOSTAPI_MQ_CODES_H */
