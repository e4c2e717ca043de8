#include "host/commands/printers.h"

#include "host/commands/command_parser.h"

namespace pavlex::commands {

void PrintUVs(const TextSink& out, const host::HostObject& object) {
  for (int32_t f = 0; f < object.faceCount(); ++f) {
    const MQCoordinate* uvs = object.faceUVs(f);
    for (int32_t c = 0; c < object.cornerCount(f); ++c) {
      out.printf("uv %d %d %.9g %.9g\n", f, c, static_cast<double>(uvs[c].u), static_cast<double>(uvs[c].v));
    }
  }
}

void PrintSelection(const TextSink& out, const host::HostObject& object) {
  for (int32_t f = 0; f < object.faceCount(); ++f) {
    for (int32_t c = 0; c < object.cornerCount(f); ++c) {
      if (object.isUVSelected(f, c)) out.printf("uv %d %d\n", f, c);
    }
  }
  for (int32_t v = 0; v < object.vertexCount(); ++v) {
    if (object.isVertexSelected(v)) out.printf("vertex %d\n", v);
  }
  for (int32_t f = 0; f < object.faceCount(); ++f) {
    for (int32_t j = 0; j < object.cornerCount(f); ++j) {
      if (object.isLineSelected(f, j)) out.printf("line %d %d\n", f, j);
    }
  }
  for (int32_t f = 0; f < object.faceCount(); ++f) {
    if (object.cornerCount(f) > 0 && object.isFaceSelected(f)) out.printf("face %d\n", f);
  }
}

void PrintObject(const TextSink& out, const host::HostObject& object) {
  int32_t liveVertices = 0;
  for (int32_t v = 0; v < object.vertexCount(); ++v) liveVertices += object.vertexDeleted(v) ? 0 : 1;
  int32_t liveFaces = 0;
  int64_t corners = 0;
  for (int32_t f = 0; f < object.faceCount(); ++f) {
    liveFaces += object.cornerCount(f) > 0 ? 1 : 0;
    corners += object.cornerCount(f);
  }
  out.printf(
               "object %d %s\nunique-id %d\nvertices %d\nfaces %d\nlive-faces %d\ncorners %lld\nvisible %s\n"
               "locked %s\n",
               object.slot(), QuoteWord(object.name()).c_str(), object.uniqueId(), liveVertices, object.faceCount(),
               liveFaces, static_cast<long long>(corners), object.visible ? "yes" : "no",
               object.locked ? "yes" : "no");
}

void PrintFaces(const TextSink& out, const host::HostObject& object) {
  for (int32_t f = 0; f < object.faceCount(); ++f) {
    out.printf("face %d uid %d corners %d material %d\n", f, object.faceUniqueId(f), object.cornerCount(f),
                 object.faceMaterial(f));
  }
}

void PrintDocument(const TextSink& out, const host::HostDocument& doc) {
  for (int32_t slot = 0; slot < doc.objectSlotCount(); ++slot) {
    if (const host::HostObject* object = doc.object(slot)) {
      out.printf("object %d %s%s\n", slot, QuoteWord(object->name()).c_str(),
                   slot == doc.currentObject() ? " *" : "");
    }
  }
  for (int32_t slot = 0; slot < doc.materialSlotCount(); ++slot) {
    if (const host::HostMaterial* material = doc.material(slot)) {
      out.printf("material %d %s%s\n", slot, QuoteWord(material->name).c_str(),
                   slot == doc.currentMaterial() ? " *" : "");
    }
  }
}

void PrintWidgetPaths(const TextSink& out, const std::vector<host::WidgetPathEntry>& entries) {
  for (const host::WidgetPathEntry& entry : entries) {
    out.printf("%s\t%s\n", entry.path.c_str(), host::WidgetKindName(entry.kind));
  }
}

}  // namespace pavlex::commands
