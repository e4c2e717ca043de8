/* Types shared by the host modeller and its plug-ins across the C boundary.
 *
 * Everything here is plain C: no C++ types, no exceptions, no ownership
 * hidden in destructors. Handles are opaque pointers owned by the host; a
 * plug-in never frees one unless a function below says so. */
#ifndef PAVLEX_HOSTAPI_MQ_TYPES_H
#define PAVLEX_HOSTAPI_MQ_TYPES_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define MQAPI __stdcall
#else
#define MQAPI
#endif

#if defined(_WIN32)
#define MQ_EXPORT __declspec(dllexport)
#else
#define MQ_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
#define MQ_EXTERN_C extern "C"
#else
#define MQ_EXTERN_C
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Nonzero means true. Functions that return MQBOOL answer 0 for any handle
 * or index they do not recognise. */
typedef int32_t MQBOOL;

/* One UTF-16 code unit. Wide strings cross the boundary null-terminated. */
#ifdef __cplusplus
typedef char16_t MQWChar;
#else
typedef uint16_t MQWChar;
#endif

/* Opaque handles. Each stays valid for as long as the host's document that
 * produced it is open; the host never reuses the memory of a deleted object
 * or material while its document lives, so a stale handle is recognised and
 * answered like a missing one rather than read as freed memory. */
typedef struct MQDocumentTag* MQDocument;
typedef struct MQObjectTag* MQObject;
typedef struct MQMaterialTag* MQMaterial;
typedef struct MQSceneTag* MQScene;
typedef struct MQXmlElementTag* MQXmlElement;
typedef struct MQXmlDocumentTag* MQXmlDocument;

typedef struct MQPoint {
  float x, y, z;
} MQPoint;

/* One UV pair. Per-corner UV arrays are contiguous runs of these, one per
 * face corner in corner order. */
typedef struct MQCoordinate {
  float u, v;
} MQCoordinate;

typedef struct MQColor {
  float r, g, b; /* nominally 0..1 */
} MQColor;

/* Column-major 4x4 matrix, as sixteen consecutive floats. */
typedef struct MQMatrix {
  float m[16];
} MQMatrix;

/* One (key, value) pair of an option list. A list is a contiguous array of
 * pairs ended by a pair whose key is null. How the value slot is read
 * depends on the key:
 *   bool            pointer to one byte, 0 or 1
 *   int             pointer to int32_t
 *   float, double   pointer to the number
 *   narrow string   the char* itself (set) or a char* to a caller buffer
 *   wide string     the MQWChar* itself (set), or a caller buffer of
 *                   length + 1 units after asking "<key>.length" (get)
 *   handle          the handle itself
 *   result          pointer to a caller variable, preset by the caller;
 *                   the callee writes the answer there
 * The list and everything it points to belong to the caller and are valid
 * only during the call that receives them. */
typedef struct MQOptionPair {
  const char* key;
  void* value;
} MQOptionPair;

/* The record of MQ_SendMessage. `option` points to an option list (never
 * null: an empty list is one pair with a null key). */
typedef struct MQSendMessageInfo {
  uint32_t product;
  uint32_t id;
  uint32_t reserved; /* always 0 */
  MQOptionPair* option;
} MQSendMessageInfo;

/* Records of MQXmlElem_Value, one per request code (see mq_codes.h).
 * Names and texts are UTF-8. */
typedef struct MQXmlFindChildRecord {   /* MQXML_FIND_CHILD */
  const char* name;
  MQXmlElement result;                  /* preset null; null when none */
} MQXmlFindChildRecord;

typedef struct MQXmlAddChildRecord {    /* MQXML_ADD_CHILD */
  const char* name;
  MQXmlElement result;                  /* the new element, null on failure */
} MQXmlAddChildRecord;

typedef struct MQXmlRemoveChildRecord { /* MQXML_REMOVE_CHILD */
  MQXmlElement child;
  int32_t* result;                      /* preset 0; 1 when removed */
} MQXmlRemoveChildRecord;

typedef struct MQXmlGetTextRecord {     /* MQXML_GET_TEXT */
  const char* result;                   /* preset null; owned by the host,
                                           valid until the element changes */
} MQXmlGetTextRecord;

typedef struct MQXmlSetTextRecord {     /* MQXML_SET_TEXT */
  const char* text;
} MQXmlSetTextRecord;

/* The function the host calls for every widget event a plug-in registered
 * (request MQWIDGET_ADD_EVENT). `options` is an option list owned by the
 * host for the duration of the call; `pointer` is the "pointer" value given
 * at registration. Returns the handler's result. */
typedef MQBOOL(MQAPI* MQWidgetEventProc)(MQDocument doc, void* options, void* pointer);

/* A callback run by MQ_StationCallback with the current document. */
typedef MQBOOL(MQAPI* MQStationCallbackProc)(MQDocument doc, void* option);

#ifdef __cplusplus
}
#endif

#endif /* PAVLEX_HOSTAPI_MQ_TYPES_H */
