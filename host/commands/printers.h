// The text of the `print` commands. The formats are fixed: scripts and
// tests read them. Numbers are printed with %.9g, which reads back as the
// same single-precision value.
#pragma once

#include <string>
#include <vector>

#include "host/commands/text_sink.h"
#include "host/document/host_document.h"
#include "host/driver/host_driver.h"

namespace pavlex::commands {

// "uv F C U V", one line per corner of every face with corners.
void PrintUVs(const TextSink& out, const host::HostObject& object);
// "uv F C", then "vertex I", "line F J" and "face F", each kind ascending.
void PrintSelection(const TextSink& out, const host::HostObject& object);
// "key value" lines: object (slot and quoted name), unique-id, vertices
// (live), faces (slots), live-faces, corners, visible, locked.
void PrintObject(const TextSink& out, const host::HostObject& object);
// "face F uid U corners N material M" for every face slot, deleted ones
// (corners 0) included, so index shifts after `compact` can be seen.
void PrintFaces(const TextSink& out, const host::HostObject& object);
// "object I NAME" and "material I NAME" lines, "*" after the current ones.
void PrintDocument(const TextSink& out, const host::HostDocument& doc);
// "PATH<TAB>KIND" per entry.
void PrintWidgetPaths(const TextSink& out, const std::vector<host::WidgetPathEntry>& entries);

}  // namespace pavlex::commands
