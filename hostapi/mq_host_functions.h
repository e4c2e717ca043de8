/* The host function table: every function the host exports for plug-ins,
 * in the order a plug-in resolves them by name.
 *
 * MQ_HOST_FUNCTIONS(X) expands X(return type, name, (parameters)) once per
 * function. A plug-in builds its table of pointers from it; the host
 * declares and defines the exported functions from it, so both sides agree
 * on every signature at compile time.
 *
 * General contract, unless an entry says otherwise:
 * - Handles come from the host and stay owned by it (see mq_types.h).
 * - A null handle, an index out of range or a deleted element is answered
 *   with 0, null, false or an empty result, and changes nothing.
 * - Output buffers are allocated by the caller with the size the entry
 *   states; the host writes nothing into a null buffer.
 * - Strings returned through a caller buffer are null-terminated and
 *   truncated to the buffer size.
 * - Object indices are slots of the document; a deleted object leaves its
 *   slot empty (MQDoc_GetObject answers null).
 * - Face and vertex indices are slots of the object; a deleted face keeps
 *   its slot with 0 corners and a deleted vertex keeps its slot with 0
 *   references until the object is compacted.
 * - Entries marked "unsupported" belong to host features outside this
 *   project. They resolve, accept any arguments and answer 0, null or
 *   false; outputs are left untouched.
 */
#ifndef PAVLEX_HOSTAPI_MQ_HOST_FUNCTIONS_H
#define PAVLEX_HOSTAPI_MQ_HOST_FUNCTIONS_H

#include "mq_types.h"

#define MQ_HOST_FUNCTIONS(X) \
  /* unsupported: native window of the host. */ \
  X(void*, MQ_GetWindowHandle, (void)) \
  /* A new empty object, not yet in any document; the caller owns it until \
   * MQDoc_AddObject takes it, or releases it with MQObj_Delete. */ \
  X(MQObject, MQ_CreateObject, (void)) \
  /* A new material, not yet in any document; owned like MQ_CreateObject. */ \
  X(MQMaterial, MQ_CreateMaterial, (void)) \
  /* unsupported: the host's own file dialog. */ \
  X(MQBOOL, MQ_ShowFileDialog, (const char* title, void* info)) \
  /* unsupported: axis conversion for importers and exporters. */ \
  X(void, MQ_ImportAxis, (void* info, MQPoint* points, int32_t count)) \
  X(void, MQ_ExportAxis, (void* info, MQPoint* points, int32_t count)) \
  /* unsupported: image loading for texture previews. */ \
  X(MQBOOL, MQ_LoadImage, (const char* filename, void** header, void** buffer, uint32_t reserved)) \
  X(MQBOOL, MQ_LoadImageW, (const MQWChar* filename, void** header, void** buffer, uint32_t reserved)) \
  /* unsupported: host installation folders. */ \
  X(MQBOOL, MQ_GetSystemPath, (char* buffer, int32_t type)) \
  X(MQBOOL, MQ_GetSystemPathW, (MQWChar* buffer, int32_t type)) \
  /* Asks the host to redraw its views; the host sends MQEVENT_DRAW to \
   * active plug-ins before it returns. `reserved` is ignored. */ \
  X(void, MQ_RefreshView, (void* reserved)) \
  /* unsupported: deferred callbacks of station plug-ins. */ \
  X(MQBOOL, MQ_StationCallback, (MQStationCallbackProc proc, void* option)) \
  /* Sends a message (MQMESSAGE_*) with an MQSendMessageInfo record owned by \
   * the caller. Answers nonzero when the host understood the message. */ \
  X(MQBOOL, MQ_SendMessage, (int32_t message, void* record)) \
  \
  /* Number of object slots, empty ones included. */ \
  X(int32_t, MQDoc_GetObjectCount, (MQDocument doc)) \
  /* The object in slot `index`; null for an empty slot or a bad index. */ \
  X(MQObject, MQDoc_GetObject, (MQDocument doc, int32_t index)) \
  /* The live object with that unique ID (MQOBJ_ID_UNIQUE_ID), or null. */ \
  X(MQObject, MQDoc_GetObjectFromUniqueID, (MQDocument doc, int32_t unique_id)) \
  /* Slot of the current object; -1 when the document has none. */ \
  X(int32_t, MQDoc_GetCurrentObjectIndex, (MQDocument doc)) \
  /* Makes slot `index` current when it holds an object. */ \
  X(void, MQDoc_SetCurrentObjectIndex, (MQDocument doc, int32_t index)) \
  /* Takes ownership of an object from MQ_CreateObject and appends it in a \
   * new slot; answers the slot, or -1 (ownership not taken). */ \
  X(int32_t, MQDoc_AddObject, (MQDocument doc, MQObject obj)) \
  /* Deletes the object in slot `index`; the slot stays, empty. Its handle \
   * remains readable (index -1) until the document closes. */ \
  X(void, MQDoc_DeleteObject, (MQDocument doc, int32_t index)) \
  /* Slot of a live object of this document, or -1. O(1). */ \
  X(int32_t, MQDoc_GetObjectIndex, (MQDocument doc, MQObject obj)) \
  /* A name not used by any object, made from `base`, into a buffer of \
   * `buffer_size` bytes (UTF-8). */ \
  X(void, MQDoc_GetUnusedObjectName, (MQDocument doc, char* buffer, int32_t buffer_size, const char* base)) \
  X(void, MQDoc_GetUnusedObjectNameW, (MQDocument doc, MQWChar* buffer, int32_t buffer_size, const MQWChar* base)) \
  /* Number of material slots, empty ones included. */ \
  X(int32_t, MQDoc_GetMaterialCount, (MQDocument doc)) \
  /* The material in slot `index`; null for an empty slot or a bad index. */ \
  X(MQMaterial, MQDoc_GetMaterial, (MQDocument doc, int32_t index)) \
  X(MQMaterial, MQDoc_GetMaterialFromUniqueID, (MQDocument doc, int32_t unique_id)) \
  /* Slot of the current material; -1 when there is none. */ \
  X(int32_t, MQDoc_GetCurrentMaterialIndex, (MQDocument doc)) \
  X(void, MQDoc_SetCurrentMaterialIndex, (MQDocument doc, int32_t index)) \
  /* Takes ownership of a material from MQ_CreateMaterial; answers its slot \
   * or -1 (ownership not taken). */ \
  X(int32_t, MQDoc_AddMaterial, (MQDocument doc, MQMaterial mat)) \
  /* Deletes the material in slot `index`; faces that used it get -1. */ \
  X(void, MQDoc_DeleteMaterial, (MQDocument doc, int32_t index)) \
  X(void, MQDoc_GetUnusedMaterialName, (MQDocument doc, char* buffer, int32_t buffer_size, const char* base)) \
  X(void, MQDoc_GetUnusedMaterialNameW, (MQDocument doc, MQWChar* buffer, int32_t buffer_size, const MQWChar* base)) \
  /* Compacts every object (see MQObj_Compact). Object slots stay. */ \
  X(void, MQDoc_Compact, (MQDocument doc)) \
  /* Clears the selection kinds named by MQCLEARSELECT_* in every object. */ \
  X(void, MQDoc_ClearSelect, (MQDocument doc, uint32_t flags)) \
  /* Selections, addressed by object slot. Add and Delete answer nonzero \
   * when the element exists (whether or not its state changed); Is answers \
   * nonzero when it exists and is selected. A line is (face, edge j), from \
   * corner j to corner (j + 1) mod n; a UV vertex is (face, corner). */ \
  X(MQBOOL, MQDoc_AddSelectVertex, (MQDocument doc, int32_t obj_index, int32_t vertex)) \
  X(MQBOOL, MQDoc_DeleteSelectVertex, (MQDocument doc, int32_t obj_index, int32_t vertex)) \
  X(MQBOOL, MQDoc_IsSelectVertex, (MQDocument doc, int32_t obj_index, int32_t vertex)) \
  X(MQBOOL, MQDoc_AddSelectLine, (MQDocument doc, int32_t obj_index, int32_t face, int32_t line)) \
  X(MQBOOL, MQDoc_DeleteSelectLine, (MQDocument doc, int32_t obj_index, int32_t face, int32_t line)) \
  X(MQBOOL, MQDoc_IsSelectLine, (MQDocument doc, int32_t obj_index, int32_t face, int32_t line)) \
  X(MQBOOL, MQDoc_AddSelectFace, (MQDocument doc, int32_t obj_index, int32_t face)) \
  X(MQBOOL, MQDoc_DeleteSelectFace, (MQDocument doc, int32_t obj_index, int32_t face)) \
  X(MQBOOL, MQDoc_IsSelectFace, (MQDocument doc, int32_t obj_index, int32_t face)) \
  X(MQBOOL, MQDoc_AddSelectUVVertex, (MQDocument doc, int32_t obj_index, int32_t face, int32_t corner)) \
  X(MQBOOL, MQDoc_DeleteSelectUVVertex, (MQDocument doc, int32_t obj_index, int32_t face, int32_t corner)) \
  X(MQBOOL, MQDoc_IsSelectUVVertex, (MQDocument doc, int32_t obj_index, int32_t face, int32_t corner)) \
  /* unsupported: texture search paths and mapping images. */ \
  X(MQBOOL, MQDoc_FindMappingFile, (MQDocument doc, char* out_path, const char* filename, uint32_t map_type)) \
  X(MQBOOL, MQDoc_FindMappingFileW, (MQDocument doc, MQWChar* out_path, const MQWChar* filename, uint32_t map_type)) \
  /* Scene `index` of the document; the stand-in host has scene 0 only. */ \
  X(MQScene, MQDoc_GetScene, (MQDocument doc, int32_t index)) \
  X(void*, MQDoc_GetMappingImage, (MQDocument doc, const char* filename, uint32_t map_type, void** header)) \
  X(void*, MQDoc_GetMappingImageW, (MQDocument doc, const MQWChar* filename, uint32_t map_type, void** header)) \
  /* unsupported: object hierarchy and global matrices (objects are flat). */ \
  X(MQObject, MQDoc_GetParentObject, (MQDocument doc, MQObject obj)) \
  X(int32_t, MQDoc_GetChildObjectCount, (MQDocument doc, MQObject obj)) \
  X(MQObject, MQDoc_GetChildObject, (MQDocument doc, MQObject obj, int32_t index)) \
  X(void, MQDoc_GetGlobalMatrix, (MQDocument doc, MQObject obj, MQMatrix* out)) \
  X(void, MQDoc_GetGlobalInverseMatrix, (MQDocument doc, MQObject obj, MQMatrix* out)) \
  X(int32_t, MQDoc_InsertObject, (MQDocument doc, MQObject obj, MQObject before)) \
  X(MQObject, MQDoc_RemoveObject, (MQDocument doc, int32_t index)) \
  /* unsupported: document user data. */ \
  X(int32_t, MQDoc_CreateUserData, (MQDocument doc, void* info)) \
  X(void, MQDoc_DeleteUserData, (MQDocument doc, int32_t type, int32_t id)) \
  /* Triangulates the polygon of `count` points (count >= 3) into count - 2 \
   * triangles, written as corner positions 0..count-1 into `indices`, \
   * which holds `index_count` >= 3 * (count - 2) ints. Works for concave \
   * polygons in any plane. Answers 0 (and writes nothing) on bad input. */ \
  X(MQBOOL, MQDoc_Triangulate, (MQDocument doc, const MQPoint* points, int32_t count, int32_t* indices, int32_t index_count)) \
  \
  /* unsupported: view size and camera matrices. */ \
  X(void, MQScene_InitSize, (MQScene scene, int32_t width, int32_t height)) \
  X(void, MQScene_GetProjMatrix, (MQScene scene, MQMatrix* out)) \
  X(void, MQScene_GetViewMatrix, (MQScene scene, MQMatrix* out)) \
  /* Scene values (MQSCENE_*): `value` is in, out or in/out as the code says. */ \
  X(void, MQScene_IntValue, (MQScene scene, int32_t code, int32_t* value)) \
  X(void, MQScene_FloatValue, (MQScene scene, int32_t code, float* values)) \
  /* unsupported. */ \
  X(void, MQScene_ValueArray, (MQScene scene, int32_t code, void** values)) \
  X(MQBOOL, MQScene_GetVisibleFace, (MQScene scene, MQObject obj, MQBOOL* visible)) \
  \
  /* Releases an object the caller owns (from MQ_CreateObject or \
   * MQObj_Clone, never added to a document). Objects of a document are \
   * released with MQDoc_DeleteObject; for them this does nothing. */ \
  X(void, MQObj_Delete, (MQObject obj)) \
  /* A deep copy owned by the caller (see MQObj_Delete), with a new unique \
   * ID and new face unique IDs; selections are not copied. */ \
  X(MQObject, MQObj_Clone, (MQObject obj)) \
  /* Appends the vertices and faces of `source` to `obj`. */ \
  X(void, MQObj_Merge, (MQObject obj, MQObject source)) \
  /* Removes every vertex and face. */ \
  X(void, MQObj_Clear, (MQObject obj)) \
  /* unsupported: freezing of modifiers. */ \
  X(void, MQObj_Freeze, (MQObject obj, uint32_t flags)) \
  /* Number of vertex slots, deleted ones included. */ \
  X(int32_t, MQObj_GetVertexCount, (MQObject obj)) \
  /* Position of a vertex into *out; (0, 0, 0) for a bad index. */ \
  X(void, MQObj_GetVertex, (MQObject obj, int32_t vertex, MQPoint* out)) \
  X(void, MQObj_SetVertex, (MQObject obj, int32_t vertex, const MQPoint* position)) \
  /* Copies every vertex position into `out`, which holds \
   * MQObj_GetVertexCount points; answers the number written. */ \
  X(int32_t, MQObj_GetVertexArray, (MQObject obj, MQPoint* out)) \
  /* Number of face slots, deleted ones included. */ \
  X(int32_t, MQObj_GetFaceCount, (MQObject obj)) \
  /* Corner count of a face; 0 for a deleted face or a bad index. O(1). */ \
  X(int32_t, MQObj_GetFacePointCount, (MQObject obj, int32_t face)) \
  /* Vertex index of each corner into `points`, which holds \
   * MQObj_GetFacePointCount ints. */ \
  X(void, MQObj_GetFacePointArray, (MQObject obj, int32_t face, int32_t* points)) \
  /* UV of each corner into `uvs`, which holds MQObj_GetFacePointCount pairs. */ \
  X(void, MQObj_GetFaceCoordinateArray, (MQObject obj, int32_t face, MQCoordinate* uvs)) \
  /* UV of one corner into *out; (0, 0) for a bad face or corner. */ \
  X(void, MQObj_GetFaceCoordinate, (MQObject obj, int32_t face, int32_t corner, MQCoordinate* out)) \
  /* unsupported: extra UV channels (the host keeps one). */ \
  X(void, MQObj_GetFaceChannelCoordinate, (MQObject obj, int32_t face, int32_t channel, int32_t corner, MQCoordinate* out)) \
  /* Material slot of a face, -1 for none or a bad index. */ \
  X(int32_t, MQObj_GetFaceMaterial, (MQObject obj, int32_t face)) \
  /* Unique ID of a face (> 0), stable across edits and compaction; 0 for a \
   * bad index. */ \
  X(int32_t, MQObj_GetFaceUniqueID, (MQObject obj, int32_t face)) \
  /* Face slot of a unique ID, -1 when the face no longer exists. O(1). */ \
  X(int32_t, MQObj_GetFaceIndexFromUniqueID, (MQObject obj, int32_t unique_id)) \
  /* Renames the object (UTF-8). */ \
  X(void, MQObj_SetName, (MQObject obj, const char* name)) \
  /* Appends a vertex; answers its index, or -1 for a null position. */ \
  X(int32_t, MQObj_AddVertex, (MQObject obj, const MQPoint* position)) \
  /* Deletes a vertex, and with `delete_faces` every face that uses it; a \
   * vertex still used by faces is not deleted otherwise. */ \
  X(MQBOOL, MQObj_DeleteVertex, (MQObject obj, int32_t vertex, MQBOOL delete_faces)) \
  /* Number of face corners that use the vertex; 0 for a deleted vertex. */ \
  X(int32_t, MQObj_GetVertexRefCount, (MQObject obj, int32_t vertex)) \
  X(int32_t, MQObj_GetVertexUniqueID, (MQObject obj, int32_t vertex)) \
  X(int32_t, MQObj_GetVertexIndexFromUniqueID, (MQObject obj, int32_t unique_id)) \
  /* Live faces that use the vertex, each once, ascending. With a null \
   * `faces` answers the count only; otherwise `faces` holds that many ints. \
   * Costs time in proportion to the answer. */ \
  X(int32_t, MQObj_GetVertexRelatedFaces, (MQObject obj, int32_t vertex, int32_t* faces)) \
  /* unsupported: vertex weights and attribute copies. */ \
  X(float, MQObj_GetVertexWeight, (MQObject obj, int32_t vertex)) \
  X(void, MQObj_SetVertexWeight, (MQObject obj, int32_t vertex, float weight)) \
  X(void, MQObj_CopyVertexAttribute, (MQObject obj, int32_t vertex, MQObject source, int32_t source_vertex)) \
  /* Appends a face of `count` >= 2 corners over existing vertices; every \
   * corner gets UV (0, 0). Answers the face index, or -1. */ \
  X(int32_t, MQObj_AddFace, (MQObject obj, int32_t count, const int32_t* points)) \
  /* As MQObj_AddFace, but inserted at slot `index`; later faces shift up. */ \
  X(int32_t, MQObj_InsertFace, (MQObject obj, int32_t index, int32_t count, const int32_t* points)) \
  /* Deletes a face: its slot stays with 0 corners until compaction. With \
   * `delete_vertices`, vertices left unused are deleted too. */ \
  X(MQBOOL, MQObj_DeleteFace, (MQObject obj, int32_t face, MQBOOL delete_vertices)) \
  /* Reverses the corner order of a face, UVs included. */ \
  X(MQBOOL, MQObj_InvertFace, (MQObject obj, int32_t face)) \
  X(void, MQObj_SetFaceMaterial, (MQObject obj, int32_t face, int32_t material)) \
  /* Replaces the UV of every corner from `uvs`, which holds \
   * MQObj_GetFacePointCount pairs. */ \
  X(void, MQObj_SetFaceCoordinateArray, (MQObject obj, int32_t face, const MQCoordinate* uvs)) \
  X(void, MQObj_SetFaceCoordinate, (MQObject obj, int32_t face, int32_t corner, const MQCoordinate* uv)) \
  /* unsupported: extra UV channels, vertex colours, creases, normals. */ \
  X(void, MQObj_SetFaceChannelCoordinate, (MQObject obj, int32_t face, int32_t channel, int32_t corner, const MQCoordinate* uv)) \
  X(uint32_t, MQObj_GetFaceVertexColor, (MQObject obj, int32_t face, int32_t corner)) \
  X(void, MQObj_SetFaceVertexColor, (MQObject obj, int32_t face, int32_t corner, uint32_t color)) \
  X(float, MQObj_GetFaceEdgeCrease, (MQObject obj, int32_t face, int32_t line)) \
  X(void, MQObj_SetFaceEdgeCrease, (MQObject obj, int32_t face, int32_t line, float crease)) \
  X(MQBOOL, MQObj_GetFaceVertexNormal, (MQObject obj, int32_t face, int32_t corner, MQPoint* out)) \
  X(void, MQObj_SetFaceVertexNormal, (MQObject obj, int32_t face, int32_t corner, int32_t flags, const MQPoint* normal)) \
  /* Face visibility; 0 for a bad index. */ \
  X(MQBOOL, MQObj_GetFaceVisible, (MQObject obj, int32_t face)) \
  X(void, MQObj_SetFaceVisible, (MQObject obj, int32_t face, MQBOOL visible)) \
  /* unsupported: welding of close vertices. */ \
  X(void, MQObj_OptimizeVertex, (MQObject obj, float distance, void* apply)) \
  /* Removes deleted faces and unreferenced vertices; later faces and \
   * vertices shift down. Unique IDs are kept. */ \
  X(void, MQObj_Compact, (MQObject obj)) \
  X(MQBOOL, MQObj_GetVisible, (MQObject obj)) \
  X(void, MQObj_SetVisible, (MQObject obj, MQBOOL visible)) \
  /* unsupported: curved surfaces. */ \
  X(int32_t, MQObj_GetPatchType, (MQObject obj)) \
  X(void, MQObj_SetPatchType, (MQObject obj, int32_t type)) \
  X(int32_t, MQObj_GetPatchSegment, (MQObject obj)) \
  X(void, MQObj_SetPatchSegment, (MQObject obj, int32_t segment)) \
  /* Shading mode: 0 flat, nonzero smooth. */ \
  X(int32_t, MQObj_GetShading, (MQObject obj)) \
  X(void, MQObj_SetShading, (MQObject obj, int32_t shading)) \
  /* Smoothing angle in degrees. */ \
  X(float, MQObj_GetSmoothAngle, (MQObject obj)) \
  X(void, MQObj_SetSmoothAngle, (MQObject obj, float degrees)) \
  /* unsupported: mirror and lathe modifiers. */ \
  X(int32_t, MQObj_GetMirrorType, (MQObject obj)) \
  X(void, MQObj_SetMirrorType, (MQObject obj, int32_t type)) \
  X(uint32_t, MQObj_GetMirrorAxis, (MQObject obj)) \
  X(void, MQObj_SetMirrorAxis, (MQObject obj, uint32_t axis)) \
  X(float, MQObj_GetMirrorDistance, (MQObject obj)) \
  X(void, MQObj_SetMirrorDistance, (MQObject obj, float distance)) \
  X(int32_t, MQObj_GetLatheType, (MQObject obj)) \
  X(void, MQObj_SetLatheType, (MQObject obj, int32_t type)) \
  X(int32_t, MQObj_GetLatheAxis, (MQObject obj)) \
  X(void, MQObj_SetLatheAxis, (MQObject obj, int32_t axis)) \
  X(int32_t, MQObj_GetLatheSegment, (MQObject obj)) \
  X(void, MQObj_SetLatheSegment, (MQObject obj, int32_t segment)) \
  /* Integer values by code (MQOBJ_ID_*); 0 for an unknown code. Only \
   * MQOBJ_ID_LOCKING can be set. */ \
  X(int32_t, MQObj_GetIntValue, (MQObject obj, int32_t code)) \
  /* Float arrays by code (MQOBJ_ID_COLOR: three floats); `values` holds as \
   * many floats as the code says and is left untouched for an unknown code. */ \
  X(void, MQObj_GetFloatArray, (MQObject obj, int32_t code, float* values)) \
  X(void, MQObj_SetIntValue, (MQObject obj, int32_t code, int32_t value)) \
  X(void, MQObj_SetFloatArray, (MQObject obj, int32_t code, const float* values)) \
  /* unsupported: pointer arrays and every kind of user data below. */ \
  X(void, MQObj_PointerArray, (MQObject obj, int32_t code, void** values)) \
  X(MQBOOL, MQObj_AllocUserData, (MQObject obj, int32_t id)) \
  X(void, MQObj_FreeUserData, (MQObject obj, int32_t id)) \
  X(MQBOOL, MQObj_GetUserData, (MQObject obj, int32_t id, int32_t offset, int32_t size, void* out)) \
  X(MQBOOL, MQObj_SetUserData, (MQObject obj, int32_t id, int32_t offset, int32_t size, const void* data)) \
  X(MQBOOL, MQObj_AllocVertexUserData, (MQObject obj, int32_t id)) \
  X(void, MQObj_FreeVertexUserData, (MQObject obj, int32_t id)) \
  X(MQBOOL, MQObj_GetVertexUserData, (MQObject obj, int32_t id, int32_t vertex, int32_t offset, int32_t size, void* out)) \
  X(MQBOOL, MQObj_SetVertexUserData, (MQObject obj, int32_t id, int32_t vertex, int32_t offset, int32_t size, const void* data)) \
  X(MQBOOL, MQObj_AllocFaceUserData, (MQObject obj, int32_t id)) \
  X(void, MQObj_FreeFaceUserData, (MQObject obj, int32_t id)) \
  X(MQBOOL, MQObj_GetFaceUserData, (MQObject obj, int32_t id, int32_t face, int32_t offset, int32_t size, void* out)) \
  X(MQBOOL, MQObj_SetFaceUserData, (MQObject obj, int32_t id, int32_t face, int32_t offset, int32_t size, const void* data)) \
  \
  /* Releases a material the caller owns (from MQ_CreateMaterial, never \
   * added); does nothing for a material of a document. */ \
  X(void, MQMat_Delete, (MQMaterial mat)) \
  /* MQMAT_ID_UNIQUE_ID; 0 for an unknown code. */ \
  X(int32_t, MQMat_GetIntValue, (MQMaterial mat, int32_t code)) \
  /* unsupported. */ \
  X(void, MQMat_GetFloatArray, (MQMaterial mat, int32_t code, float* values)) \
  /* Material colour r, g, b into *out; (0, 0, 0) for a null material. */ \
  X(void, MQMat_GetColor, (MQMaterial mat, MQColor* out)) \
  /* Alpha and the shading coefficients, each one float. */ \
  X(float, MQMat_GetAlpha, (MQMaterial mat)) \
  X(float, MQMat_GetDiffuse, (MQMaterial mat)) \
  X(float, MQMat_GetAmbient, (MQMaterial mat)) \
  X(float, MQMat_GetEmission, (MQMaterial mat)) \
  X(float, MQMat_GetSpecular, (MQMaterial mat)) \
  X(float, MQMat_GetPower, (MQMaterial mat)) \
  /* Texture, alpha-map and bump-map file names (UTF-8) into a buffer of \
   * `size` bytes; the empty string when the material has none. */ \
  X(void, MQMat_GetTextureName, (MQMaterial mat, char* buffer, int32_t size)) \
  X(void, MQMat_GetAlphaName, (MQMaterial mat, char* buffer, int32_t size)) \
  X(void, MQMat_GetBumpName, (MQMaterial mat, char* buffer, int32_t size)) \
  /* unsupported. */ \
  X(void, MQMat_SetIntValue, (MQMaterial mat, int32_t code, int32_t value)) \
  X(void, MQMat_SetFloatArray, (MQMaterial mat, int32_t code, const float* values)) \
  /* Material editing; names are UTF-8 and copied. */ \
  X(void, MQMat_SetName, (MQMaterial mat, const char* name)) \
  X(void, MQMat_SetColor, (MQMaterial mat, const MQColor* color)) \
  X(void, MQMat_SetAlpha, (MQMaterial mat, float value)) \
  X(void, MQMat_SetDiffuse, (MQMaterial mat, float value)) \
  X(void, MQMat_SetAmbient, (MQMaterial mat, float value)) \
  X(void, MQMat_SetEmission, (MQMaterial mat, float value)) \
  X(void, MQMat_SetSpecular, (MQMaterial mat, float value)) \
  X(void, MQMat_SetPower, (MQMaterial mat, float value)) \
  X(void, MQMat_SetTextureName, (MQMaterial mat, const char* name)) \
  X(void, MQMat_SetAlphaName, (MQMaterial mat, const char* name)) \
  X(void, MQMat_SetBumpName, (MQMaterial mat, const char* name)) \
  /* unsupported: material user data, value arrays and shader nodes. */ \
  X(MQBOOL, MQMat_AllocUserData, (MQMaterial mat, int32_t id)) \
  X(void, MQMat_FreeUserData, (MQMaterial mat, int32_t id)) \
  X(MQBOOL, MQMat_GetUserData, (MQMaterial mat, int32_t id, int32_t offset, int32_t size, void* out)) \
  X(MQBOOL, MQMat_SetUserData, (MQMaterial mat, int32_t id, int32_t offset, int32_t size, const void* data)) \
  X(void, MQMat_GetValueArray, (MQMaterial mat, int32_t code, void* values)) \
  X(void, MQMat_SetValueArray, (MQMaterial mat, int32_t code, const void* values)) \
  X(void, MQShaderNode_GetValueArray, (MQMaterial mat, const char* node, int32_t code, void* values)) \
  X(void, MQShaderNode_SetValueArray, (MQMaterial mat, const char* node, int32_t code, const void* values)) \
  /* unsupported: matrix helpers. */ \
  X(void, MQMatrix_FloatValue, (float* matrix, int32_t code, float* values)) \
  /* Settings elements: requests MQXML_* with the records of mq_types.h. \
   * Answers nonzero when the request was carried out. */ \
  X(MQBOOL, MQXmlElem_Value, (MQXmlElement elem, int32_t code, void* record)) \
  /* unsupported: whole XML documents. */ \
  X(MQBOOL, MQXmlDoc_Value, (MQXmlDocument doc, int32_t code, void* record)) \
  /* Widget service: requests MQWIDGET_* on widget `id` (0 where the \
   * request names none) with an option list owned by the caller. Answers \
   * nonzero when the request was carried out. */ \
  X(MQBOOL, MQWidget_Value, (int32_t id, int32_t code, void* options)) \
  /* unsupported: drawing canvases and SVG export. */ \
  X(MQBOOL, MQCanvas_Value, (void* canvas, int32_t code, void* options)) \
  X(MQBOOL, MQSVGDraw_Value, (void* svg, int32_t code, void* options))

#define MQ_HOST_FUNCTION_COUNT 193

#endif /* PAVLEX_HOSTAPI_MQ_HOST_FUNCTIONS_H */
