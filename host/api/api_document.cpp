// MQDoc_*: object and material slots, the current object and material,
// unused names, compaction and triangulation.
#include <string>
#include <unordered_set>

#include "host/api/call_trace.h"
#include "host/api/handles.h"
#include "host/api/host_exports.h"
#include "host/document/triangulate.h"
#include "platform/text_conversion.h"

using namespace pavlex::host;
using namespace pavlex::host::api;

namespace {

// A name no live element of the document uses: `base` itself when free,
// else its stem (trailing digits removed) followed by the first free number.
template <typename Names>
std::string UnusedName(std::string base, const char* fallback, Names&& forEachName) {
  if (base.empty()) base = fallback;
  std::unordered_set<std::string> used;
  forEachName([&used](const std::string& name) { used.insert(name); });
  if (used.count(base) == 0) return base;
  std::string stem = base;
  while (!stem.empty() && stem.back() >= '0' && stem.back() <= '9') stem.pop_back();
  if (stem.empty()) stem = fallback;
  for (uint64_t k = 1;; ++k) {
    std::string candidate = stem + std::to_string(k);
    if (used.count(candidate) == 0) return candidate;
  }
}

std::string UnusedObjectName(const HostDocument& doc, const char* base) {
  return UnusedName(base ? base : "", "obj", [&doc](auto&& take) {
    for (int32_t i = 0; i < doc.objectSlotCount(); ++i) {
      if (const HostObject* o = doc.object(i)) take(o->name());
    }
  });
}

std::string UnusedMaterialName(const HostDocument& doc, const char* base) {
  return UnusedName(base ? base : "", "mat", [&doc](auto&& take) {
    for (int32_t i = 0; i < doc.materialSlotCount(); ++i) {
      if (const HostMaterial* m = doc.material(i)) take(m->name);
    }
  });
}

std::string FromWide(const MQWChar* text) {
  return text ? pavlex::platform::Utf16ToUtf8(std::u16string_view(text)) : std::string();
}

}  // namespace

// --- objects -----------------------------------------------------------------

PAVLEX_HOST_FN(int32_t) MQDoc_GetObjectCount(MQDocument doc) {
  PAVLEX_TRACE_CALL();
  return doc ? FromHandle(doc)->objectSlotCount() : 0;
}

PAVLEX_HOST_FN(MQObject) MQDoc_GetObject(MQDocument doc, int32_t index) {
  PAVLEX_TRACE_CALL();
  return ToHandle(ObjectAt(doc, index));
}

PAVLEX_HOST_FN(MQObject) MQDoc_GetObjectFromUniqueID(MQDocument doc, int32_t unique_id) {
  PAVLEX_TRACE_CALL();
  return doc ? ToHandle(FromHandle(doc)->objectFromUniqueId(unique_id)) : nullptr;
}

PAVLEX_HOST_FN(int32_t) MQDoc_GetCurrentObjectIndex(MQDocument doc) {
  PAVLEX_TRACE_CALL();
  return doc ? FromHandle(doc)->currentObject() : -1;
}

PAVLEX_HOST_FN(void) MQDoc_SetCurrentObjectIndex(MQDocument doc, int32_t index) {
  PAVLEX_TRACE_CALL();
  if (doc) FromHandle(doc)->setCurrentObject(index);
}

PAVLEX_HOST_FN(int32_t) MQDoc_AddObject(MQDocument doc, MQObject obj) {
  PAVLEX_TRACE_CALL();
  if (!doc || !obj) return -1;
  return Guarded(-1, [&] {
    const int32_t slot = FromHandle(doc)->adoptObject(FromHandle(obj));
    if (slot >= 0) ReleaseCallerOwned(obj);
    return slot;
  });
}

PAVLEX_HOST_FN(void) MQDoc_DeleteObject(MQDocument doc, int32_t index) {
  PAVLEX_TRACE_CALL();
  if (doc) Guarded([&] { FromHandle(doc)->deleteObject(index); });
}

PAVLEX_HOST_FN(int32_t) MQDoc_GetObjectIndex(MQDocument doc, MQObject obj) {
  PAVLEX_TRACE_CALL();
  if (!doc || !obj) return -1;
  const HostObject* o = FromHandle(obj);
  return o->document() == FromHandle(doc) ? o->slot() : -1;
}

PAVLEX_HOST_FN(void)
MQDoc_GetUnusedObjectName(MQDocument doc, char* buffer, int32_t buffer_size, const char* base) {
  PAVLEX_TRACE_CALL();
  if (!doc || !buffer || buffer_size < 1) return;
  Guarded([&] { CopyUtf8(UnusedObjectName(*FromHandle(doc), base), buffer, buffer_size); });
}

PAVLEX_HOST_FN(void)
MQDoc_GetUnusedObjectNameW(MQDocument doc, MQWChar* buffer, int32_t buffer_size, const MQWChar* base) {
  PAVLEX_TRACE_CALL();
  if (!doc || !buffer || buffer_size < 1) return;
  Guarded([&] {
    const std::string name = UnusedObjectName(*FromHandle(doc), FromWide(base).c_str());
    CopyUtf16(pavlex::platform::Utf8ToUtf16(name), buffer, buffer_size);
  });
}

// --- materials ---------------------------------------------------------------

PAVLEX_HOST_FN(int32_t) MQDoc_GetMaterialCount(MQDocument doc) {
  PAVLEX_TRACE_CALL();
  return doc ? FromHandle(doc)->materialSlotCount() : 0;
}

PAVLEX_HOST_FN(MQMaterial) MQDoc_GetMaterial(MQDocument doc, int32_t index) {
  PAVLEX_TRACE_CALL();
  return doc ? ToHandle(FromHandle(doc)->material(index)) : nullptr;
}

PAVLEX_HOST_FN(MQMaterial) MQDoc_GetMaterialFromUniqueID(MQDocument doc, int32_t unique_id) {
  PAVLEX_TRACE_CALL();
  return doc ? ToHandle(FromHandle(doc)->materialFromUniqueId(unique_id)) : nullptr;
}

PAVLEX_HOST_FN(int32_t) MQDoc_GetCurrentMaterialIndex(MQDocument doc) {
  PAVLEX_TRACE_CALL();
  return doc ? FromHandle(doc)->currentMaterial() : -1;
}

PAVLEX_HOST_FN(void) MQDoc_SetCurrentMaterialIndex(MQDocument doc, int32_t index) {
  PAVLEX_TRACE_CALL();
  if (doc) FromHandle(doc)->setCurrentMaterial(index);
}

PAVLEX_HOST_FN(int32_t) MQDoc_AddMaterial(MQDocument doc, MQMaterial mat) {
  PAVLEX_TRACE_CALL();
  if (!doc || !mat) return -1;
  return Guarded(-1, [&] {
    const int32_t slot = FromHandle(doc)->adoptMaterial(FromHandle(mat));
    if (slot >= 0) ReleaseCallerOwned(mat);
    return slot;
  });
}

PAVLEX_HOST_FN(void) MQDoc_DeleteMaterial(MQDocument doc, int32_t index) {
  PAVLEX_TRACE_CALL();
  if (doc) Guarded([&] { FromHandle(doc)->deleteMaterial(index); });
}

PAVLEX_HOST_FN(void)
MQDoc_GetUnusedMaterialName(MQDocument doc, char* buffer, int32_t buffer_size, const char* base) {
  PAVLEX_TRACE_CALL();
  if (!doc || !buffer || buffer_size < 1) return;
  Guarded([&] { CopyUtf8(UnusedMaterialName(*FromHandle(doc), base), buffer, buffer_size); });
}

PAVLEX_HOST_FN(void)
MQDoc_GetUnusedMaterialNameW(MQDocument doc, MQWChar* buffer, int32_t buffer_size, const MQWChar* base) {
  PAVLEX_TRACE_CALL();
  if (!doc || !buffer || buffer_size < 1) return;
  Guarded([&] {
    const std::string name = UnusedMaterialName(*FromHandle(doc), FromWide(base).c_str());
    CopyUtf16(pavlex::platform::Utf8ToUtf16(name), buffer, buffer_size);
  });
}

// --- whole document ----------------------------------------------------------

PAVLEX_HOST_FN(void) MQDoc_Compact(MQDocument doc) {
  PAVLEX_TRACE_CALL();
  if (doc) Guarded([&] { FromHandle(doc)->compact(); });
}

PAVLEX_HOST_FN(MQBOOL)
MQDoc_Triangulate(MQDocument doc, const MQPoint* points, int32_t count, int32_t* indices,
                  int32_t index_count) {
  PAVLEX_TRACE_CALL();
  if (!doc || !points || !indices || count < 3) return 0;
  if (static_cast<int64_t>(index_count) < 3 * (static_cast<int64_t>(count) - 2)) return 0;
  return Guarded(MQBOOL{0}, [&] { return MQBOOL{TriangulatePolygon(points, count, indices) ? 1 : 0}; });
}
