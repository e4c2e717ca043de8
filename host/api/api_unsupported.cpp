// Every host function marked "unsupported" in hostapi/mq_host_functions.h:
// features of a full modeller that this project does not need. Each one
// resolves, accepts any arguments (its parameters are unnamed: none is ever
// read, so null or garbage is harmless), writes nothing and answers 0, null
// or false.
#include "host/api/call_trace.h"
#include "host/api/host_exports.h"

// One line per function, as the table lists them.
// clang-format off
PAVLEX_HOST_FN(void*) MQ_GetWindowHandle(void) { PAVLEX_TRACE_CALL(); return nullptr; }
PAVLEX_HOST_FN(MQBOOL) MQ_ShowFileDialog(const char*, void*) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(void) MQ_ImportAxis(void*, MQPoint*, int32_t) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(void) MQ_ExportAxis(void*, MQPoint*, int32_t) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(MQBOOL) MQ_LoadImage(const char*, void**, void**, uint32_t) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(MQBOOL) MQ_LoadImageW(const MQWChar*, void**, void**, uint32_t) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(MQBOOL) MQ_GetSystemPath(char*, int32_t) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(MQBOOL) MQ_GetSystemPathW(MQWChar*, int32_t) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(MQBOOL) MQ_StationCallback(MQStationCallbackProc, void*) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(MQBOOL) MQDoc_FindMappingFile(MQDocument, char*, const char*, uint32_t) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(MQBOOL) MQDoc_FindMappingFileW(MQDocument, MQWChar*, const MQWChar*, uint32_t) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(void*) MQDoc_GetMappingImage(MQDocument, const char*, uint32_t, void**) { PAVLEX_TRACE_CALL(); return nullptr; }
PAVLEX_HOST_FN(void*) MQDoc_GetMappingImageW(MQDocument, const MQWChar*, uint32_t, void**) { PAVLEX_TRACE_CALL(); return nullptr; }
PAVLEX_HOST_FN(MQObject) MQDoc_GetParentObject(MQDocument, MQObject) { PAVLEX_TRACE_CALL(); return nullptr; }
PAVLEX_HOST_FN(int32_t) MQDoc_GetChildObjectCount(MQDocument, MQObject) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(MQObject) MQDoc_GetChildObject(MQDocument, MQObject, int32_t) { PAVLEX_TRACE_CALL(); return nullptr; }
PAVLEX_HOST_FN(void) MQDoc_GetGlobalMatrix(MQDocument, MQObject, MQMatrix*) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(void) MQDoc_GetGlobalInverseMatrix(MQDocument, MQObject, MQMatrix*) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(int32_t) MQDoc_InsertObject(MQDocument, MQObject, MQObject) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(MQObject) MQDoc_RemoveObject(MQDocument, int32_t) { PAVLEX_TRACE_CALL(); return nullptr; }
PAVLEX_HOST_FN(int32_t) MQDoc_CreateUserData(MQDocument, void*) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(void) MQDoc_DeleteUserData(MQDocument, int32_t, int32_t) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(void) MQScene_InitSize(MQScene, int32_t, int32_t) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(void) MQScene_GetProjMatrix(MQScene, MQMatrix*) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(void) MQScene_GetViewMatrix(MQScene, MQMatrix*) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(void) MQScene_ValueArray(MQScene, int32_t, void**) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(MQBOOL) MQScene_GetVisibleFace(MQScene, MQObject, MQBOOL*) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(void) MQObj_Freeze(MQObject, uint32_t) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(void) MQObj_GetFaceChannelCoordinate(MQObject, int32_t, int32_t, int32_t, MQCoordinate*) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(float) MQObj_GetVertexWeight(MQObject, int32_t) { PAVLEX_TRACE_CALL(); return 0.0f; }
PAVLEX_HOST_FN(void) MQObj_SetVertexWeight(MQObject, int32_t, float) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(void) MQObj_CopyVertexAttribute(MQObject, int32_t, MQObject, int32_t) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(void) MQObj_SetFaceChannelCoordinate(MQObject, int32_t, int32_t, int32_t, const MQCoordinate*) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(uint32_t) MQObj_GetFaceVertexColor(MQObject, int32_t, int32_t) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(void) MQObj_SetFaceVertexColor(MQObject, int32_t, int32_t, uint32_t) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(float) MQObj_GetFaceEdgeCrease(MQObject, int32_t, int32_t) { PAVLEX_TRACE_CALL(); return 0.0f; }
PAVLEX_HOST_FN(void) MQObj_SetFaceEdgeCrease(MQObject, int32_t, int32_t, float) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(MQBOOL) MQObj_GetFaceVertexNormal(MQObject, int32_t, int32_t, MQPoint*) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(void) MQObj_SetFaceVertexNormal(MQObject, int32_t, int32_t, int32_t, const MQPoint*) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(void) MQObj_OptimizeVertex(MQObject, float, void*) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(int32_t) MQObj_GetPatchType(MQObject) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(void) MQObj_SetPatchType(MQObject, int32_t) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(int32_t) MQObj_GetPatchSegment(MQObject) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(void) MQObj_SetPatchSegment(MQObject, int32_t) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(int32_t) MQObj_GetMirrorType(MQObject) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(void) MQObj_SetMirrorType(MQObject, int32_t) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(uint32_t) MQObj_GetMirrorAxis(MQObject) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(void) MQObj_SetMirrorAxis(MQObject, uint32_t) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(float) MQObj_GetMirrorDistance(MQObject) { PAVLEX_TRACE_CALL(); return 0.0f; }
PAVLEX_HOST_FN(void) MQObj_SetMirrorDistance(MQObject, float) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(int32_t) MQObj_GetLatheType(MQObject) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(void) MQObj_SetLatheType(MQObject, int32_t) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(int32_t) MQObj_GetLatheAxis(MQObject) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(void) MQObj_SetLatheAxis(MQObject, int32_t) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(int32_t) MQObj_GetLatheSegment(MQObject) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(void) MQObj_SetLatheSegment(MQObject, int32_t) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(void) MQObj_PointerArray(MQObject, int32_t, void**) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(MQBOOL) MQObj_AllocUserData(MQObject, int32_t) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(void) MQObj_FreeUserData(MQObject, int32_t) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(MQBOOL) MQObj_GetUserData(MQObject, int32_t, int32_t, int32_t, void*) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(MQBOOL) MQObj_SetUserData(MQObject, int32_t, int32_t, int32_t, const void*) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(MQBOOL) MQObj_AllocVertexUserData(MQObject, int32_t) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(void) MQObj_FreeVertexUserData(MQObject, int32_t) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(MQBOOL) MQObj_GetVertexUserData(MQObject, int32_t, int32_t, int32_t, int32_t, void*) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(MQBOOL) MQObj_SetVertexUserData(MQObject, int32_t, int32_t, int32_t, int32_t, const void*) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(MQBOOL) MQObj_AllocFaceUserData(MQObject, int32_t) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(void) MQObj_FreeFaceUserData(MQObject, int32_t) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(MQBOOL) MQObj_GetFaceUserData(MQObject, int32_t, int32_t, int32_t, int32_t, void*) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(MQBOOL) MQObj_SetFaceUserData(MQObject, int32_t, int32_t, int32_t, int32_t, const void*) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(void) MQMat_GetFloatArray(MQMaterial, int32_t, float*) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(void) MQMat_SetIntValue(MQMaterial, int32_t, int32_t) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(void) MQMat_SetFloatArray(MQMaterial, int32_t, const float*) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(MQBOOL) MQMat_AllocUserData(MQMaterial, int32_t) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(void) MQMat_FreeUserData(MQMaterial, int32_t) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(MQBOOL) MQMat_GetUserData(MQMaterial, int32_t, int32_t, int32_t, void*) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(MQBOOL) MQMat_SetUserData(MQMaterial, int32_t, int32_t, int32_t, const void*) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(void) MQMat_GetValueArray(MQMaterial, int32_t, void*) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(void) MQMat_SetValueArray(MQMaterial, int32_t, const void*) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(void) MQShaderNode_GetValueArray(MQMaterial, const char*, int32_t, void*) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(void) MQShaderNode_SetValueArray(MQMaterial, const char*, int32_t, const void*) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(void) MQMatrix_FloatValue(float*, int32_t, float*) { PAVLEX_TRACE_CALL(); }
PAVLEX_HOST_FN(MQBOOL) MQXmlDoc_Value(MQXmlDocument, int32_t, void*) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(MQBOOL) MQCanvas_Value(void*, int32_t, void*) { PAVLEX_TRACE_CALL(); return 0; }
PAVLEX_HOST_FN(MQBOOL) MQSVGDraw_Value(void*, int32_t, void*) { PAVLEX_TRACE_CALL(); return 0; }
// clang-format on
