// LoadObjFile and LoadObjText: the parsed file (obj_parser.h) and its
// material libraries turned into a host document plus the ObjSource a
// lossless save needs.

#include <algorithm>
#include <cstring>
#include <exception>
#include <filesystem>
#include <limits>
#include <new>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

#include "host/io/file_bytes.h"
#include "host/io/file_read.h"
#include "host/io/path_names.h"
#include "host/obj/file_identity.h"
#include "host/obj/mtl_reader.h"
#include "host/obj/obj_file.h"
#include "host/obj/obj_parser.h"

namespace pavlex::host {
namespace obj {
namespace {

constexpr size_t kMaxWarnings = 50;

std::string Where(const std::string& displayName, uint64_t line) {
  return displayName + ":" + std::to_string(line) + ": ";
}

// The library file names of one mtllib statement. The statement may list
// several names; a single name may also contain blanks, so the whole text
// is tried first.
std::vector<std::string> LibraryNames(const std::string& reference, const std::string& baseDir) {
  if (reference.find_first_of(" \t") == std::string::npos) return {reference};
  std::error_code ignored;
  if (std::filesystem::exists(std::filesystem::u8path(ResolveFileName(baseDir, reference)), ignored)) return {reference};
  std::vector<std::string> names;
  size_t i = 0;
  while (i < reference.size()) {
    const size_t start = reference.find_first_not_of(" \t", i);
    if (start == std::string::npos) break;
    const size_t end = std::min(reference.find_first_of(" \t", start), reference.size());
    names.push_back(reference.substr(start, end - start));
    i = end;
  }
  return names;
}

class DocumentBuilder {
 public:
  DocumentBuilder(ParsedObj& parsed, const std::string& displayName, const std::string& baseDir)
      : parsed_(parsed), name_(displayName), baseDir_(baseDir) {}

  void build(ObjSource* source, HostDocument* doc, std::vector<std::string>* warnings) {
    warnings_ = &parsed_.warnings;
    source_ = source;
    source->folder = baseDir_;
    loadLibraries(source);
    addMaterials(doc);
    addObjects(source, doc);
    source->materials.clear();
    source->materialLibraries.clear();
    for (int32_t s = 0; s < doc->materialSlotCount(); ++s) {
      source->materials.push_back(*doc->material(s));
      source->materialLibraries.push_back(static_cast<size_t>(s) < slotLibrary_.size()
                                              ? slotLibrary_[static_cast<size_t>(s)]
                                              : -1);
    }
    *warnings = std::move(parsed_.warnings);
  }

 private:
  // --- materials -------------------------------------------------------------

  void loadLibraries(ObjSource* source) {
    std::unordered_map<std::string, int32_t> libraryByPath;  // -1: named but not read
    for (const NamedUse& use : parsed_.libraries) {
      source->libraryReferences.push_back(use.name);
      ObjSource::LibraryStatement statement{use.offset, {}, {}};
      for (const std::string& name : LibraryNames(use.name, baseDir_)) {
        const std::string path = ResolveFileName(baseDir_, name);
        statement.names.push_back(name);
        const auto known = libraryByPath.find(path);
        if (known != libraryByPath.end()) {
          statement.libraries.push_back(known->second);
          continue;
        }
        const int32_t index = loadLibrary(use, name, path, source);
        libraryByPath.emplace(path, index);
        statement.libraries.push_back(index);
      }
      source->libraryStatements.push_back(std::move(statement));
    }
  }

  // Index of the library in source->libraries, or -1. A library is a side
  // file: whatever is wrong with it is a warning, and the model still loads.
  int32_t loadLibrary(const NamedUse& use, const std::string& name, const std::string& path, ObjSource* source) {
    std::string bytes, reason;
    const io::RegularFileRead status = io::ReadRegularFile(path, &bytes, &reason, io::kMaxLibraryBytes);
    if (status == io::RegularFileRead::kNotFound) {
      warnings_->push_back(Where(name_, use.line) + "material library '" + name + "' not found");
      return -1;
    }
    if (status == io::RegularFileRead::kFailed) {
      warnings_->push_back(Where(name_, use.line) + "material library '" + name + "' cannot be read: " + reason);
      return -1;
    }
    std::string refusal;
    if (!ReadMtlText(bytes, path, &mtlMaterials_, warnings_, &refusal)) {
      warnings_->push_back(refusal + "; the library is ignored");
      return -1;
    }
    const auto index = static_cast<int32_t>(source->libraries.size());
    mtlLibrary_.resize(mtlMaterials_.size(), index);
    source->libraries.push_back(ObjSource::Library{name, path, std::move(bytes)});
    return index;
  }

  void addMaterials(HostDocument* doc) {
    std::unordered_map<std::string, int32_t> slotByName;
    for (size_t i = 0; i < mtlMaterials_.size(); ++i) {
      const MtlMaterial& m = mtlMaterials_[i];
      const int32_t library = mtlLibrary_[i];
      if (slotByName.count(m.name) != 0) {
        warnings_->push_back(Where(libraryPath(library), m.line) + "material '" + m.name +
                             "' is defined again; the first definition is used");
        continue;
      }
      auto material = std::make_unique<HostMaterial>();
      ApplyMtlMaterial(m, material.get());
      const int32_t slot = doc->addMaterial(std::move(material));
      slotByName.emplace(m.name, slot);
      recordLibrary(slot, library);
    }
    for (const NamedUse& use : parsed_.materials) {
      auto found = slotByName.find(use.name);
      int32_t slot = 0;
      if (found != slotByName.end()) {
        slot = found->second;
      } else {
        warnings_->push_back(Where(name_, use.line) + "material '" + use.name +
                             "' is not defined in a material library; default values used");
        auto material = std::make_unique<HostMaterial>();
        material->name = use.name;
        slot = doc->addMaterial(std::move(material));
        slotByName.emplace(use.name, slot);
        recordLibrary(slot, -1);
      }
      materialSlot_.push_back(slot);
    }
  }

  void recordLibrary(int32_t slot, int32_t library) {
    if (slotLibrary_.size() <= static_cast<size_t>(slot)) slotLibrary_.resize(static_cast<size_t>(slot) + 1, -1);
    slotLibrary_[static_cast<size_t>(slot)] = library;
  }

  const std::string& libraryPath(int32_t library) const {
    return source_->libraries[static_cast<size_t>(library)].path;
  }

  // --- objects ---------------------------------------------------------------

  void addObjects(ObjSource* source, HostDocument* doc) {
    const size_t objectCount = parsed_.objects.size();
    const std::vector<ElementRun>& runs = parsed_.elements.runs;
    // The runs of each object, in file order.
    std::vector<std::vector<uint32_t>> runsOf(objectCount);
    for (uint32_t r = 0; r < runs.size(); ++r) runsOf[static_cast<size_t>(runs[r].object)].push_back(r);
    size_t lastObject = 0;
    for (size_t o = 0; o < objectCount; ++o) {
      if (parsed_.objects[o].elementCount != 0) lastObject = o;
    }
    localVertex_.assign(parsed_.positions.size(), -1);
    stamp_.assign(parsed_.positions.size(), -1);
    std::vector<int32_t> record(objectCount, -1);
    for (size_t o = 0; o < objectCount; ++o) {
      if (parsed_.objects[o].elementCount == 0) continue;
      record[o] = static_cast<int32_t>(source->objects.size());
      addObject(static_cast<int32_t>(o), runsOf[o], o == lastObject, source, doc);
    }
    // From here on a run names the object's record in the source.
    for (ElementRun& run : parsed_.elements.runs) run.object = record[static_cast<size_t>(run.object)];
    if (source->objects.empty()) {
      // A file without faces still gives the document a current object.
      auto empty = std::make_unique<HostObject>();
      empty->setName(parsed_.objects.back().name);
      const HostObject& added = *empty;
      recordObject(added, doc->addObject(std::move(empty)), source);
    }
  }

  // Builds object `index` from its runs. Its faces are added in file order,
  // so a statement's first face is the count of faces before it in the
  // object, which is what ElementCursor tells the save. The last object
  // built lets go of the positions and scratch as soon as it is done with
  // them: they would otherwise sit beside the finished document.
  void addObject(int32_t index, const std::vector<uint32_t>& runs, bool last, ObjSource* source,
                 HostDocument* doc) {
    const PackedElements& elements = parsed_.elements;
    // The object's vertices: the v entries its corners use, ascending.
    std::vector<int32_t> used;
    int32_t lowest = std::numeric_limits<int32_t>::max(), highest = -1;
    for (const uint32_t r : runs) {
      const uint32_t begin = elements.runs[r].firstToken;
      const uint32_t end = r + 1 < elements.runs.size() ? elements.runs[r + 1].firstToken : elements.tokens;
      for (uint32_t t = begin; t < end; ++t) {
        const int32_t v = parsed_.tokenVertex[t];
        if (stamp_[static_cast<size_t>(v)] == index) continue;
        stamp_[static_cast<size_t>(v)] = index;
        used.push_back(v);
        lowest = std::min(lowest, v);
        highest = std::max(highest, v);
      }
    }
    if (used.size() * 8 >= static_cast<size_t>(highest - lowest) + 1) {
      // Dense (the usual case): a sweep over the range is cheaper than a sort.
      used.clear();
      for (int32_t v = lowest; v <= highest; ++v) {
        if (stamp_[static_cast<size_t>(v)] == index) used.push_back(v);
      }
    } else {
      std::sort(used.begin(), used.end());
    }
    if (last) std::vector<int32_t>().swap(stamp_);

    const ParsedObject& parsedObject = parsed_.objects[static_cast<size_t>(index)];
    auto obj = std::make_unique<HostObject>();
    obj->setName(parsedObject.name);
    obj->reserve(used.size(), static_cast<size_t>(parsedObject.faceCount),
                 static_cast<size_t>(parsedObject.cornerCount));
    for (const int32_t v : used)
      localVertex_[static_cast<size_t>(v)] = obj->addVertex(parsed_.positions[static_cast<size_t>(v)]);
    std::vector<int32_t>().swap(used);
    if (last) std::vector<MQPoint>().swap(parsed_.positions);

    std::vector<int32_t> vertices;
    std::vector<MQCoordinate> uvs;
    for (const uint32_t r : runs) {
      const int32_t material = materialOf(elements.runs[r].material);
      ElementCursor cursor(elements, r);
      for (uint32_t k = elements.runSize(r); k > 0 && cursor.next(); --k) {
        const Element& e = cursor.element();
        const int32_t* texcoords = cursor.texcoords();
        vertices.clear();
        uvs.clear();
        for (uint32_t t = 0; t < e.tokenCount; ++t) {
          vertices.push_back(localVertex_[static_cast<size_t>(parsed_.tokenVertex[e.firstToken + t])]);
          const int32_t vt = texcoords[t];
          uvs.push_back(vt < 0 ? MQCoordinate{0.0f, 0.0f} : parsed_.texcoords[static_cast<size_t>(vt)]);
        }
        if (!e.isLine) {
          const int32_t face = obj->addFace(static_cast<int32_t>(e.tokenCount), vertices.data(), uvs.data(), material);
          obj->setFaceSmoothingGroup(face, e.smoothing);
          continue;
        }
        for (uint32_t s = 0; s + 1 < e.tokenCount; ++s) {
          const int32_t face = obj->addFace(2, vertices.data() + s, uvs.data() + s, material);
          obj->setFaceSmoothingGroup(face, e.smoothing);
        }
      }
    }
    const HostObject& added = *obj;
    recordObject(added, doc->addObject(std::move(obj)), source);
  }

  // The slot of the material of a usemtl name (-1: none).
  int32_t materialOf(int32_t use) const { return use < 0 ? -1 : materialSlot_[static_cast<size_t>(use)]; }

  static void recordObject(const HostObject& obj, int32_t slot, ObjSource* source) {
    source->objects.push_back(
        ObjSource::ObjectImage{slot, obj.uniqueId(), obj.name(), obj.structureRevision()});
  }

  ParsedObj& parsed_;
  const std::string& name_;
  const std::string& baseDir_;
  std::vector<std::string>* warnings_ = nullptr;
  std::vector<MtlMaterial> mtlMaterials_;
  ObjSource* source_ = nullptr;
  std::vector<int32_t> mtlLibrary_;      // per material: index of the library that defines it
  std::vector<int32_t> slotLibrary_;     // per material slot: the library defining it, or -1
  std::vector<int32_t> materialSlot_;    // per parsed material use
  std::vector<int32_t> localVertex_;     // per v entry: index in the object being built
  std::vector<int32_t> stamp_;           // per v entry: last object that used it
};

std::string LineBreakOf(std::string_view text) {
  const size_t nl = text.find('\n');
  return nl != std::string_view::npos && nl > 0 && text[nl - 1] == '\r' ? "\r\n" : "\n";
}

// The import proper, on bytes the caller hands over (moved into the
// source).
bool Import(io::FileBytes&& bytes, const std::string& displayName, const std::string& baseDir, ObjImport* out,
            std::string* error) {
  try {
    std::string_view text;
    std::string reason;
    if (!bytes.view(&text, &reason)) {
      *error = displayName + ": cannot read: " + reason;
      return false;
    }
    ParsedObj parsed;
    if (!ParseObjText(text, displayName, &parsed, error)) return false;
    auto source = std::make_unique<ObjSource>();
    source->lineBreak = LineBreakOf(text);
    // Nothing reads the text again until a save; a copy on disk stops
    // counting as resident here, before the document takes its memory.
    bytes.release();
    auto doc = std::make_unique<HostDocument>();
    std::vector<std::string> warnings;
    DocumentBuilder(parsed, displayName, baseDir).build(source.get(), doc.get(), &warnings);
    source->texcoords = std::move(parsed.texcoords);
    source->texcoordW = std::move(parsed.texcoordW);
    source->elements = std::move(parsed.elements);
    source->text = std::move(bytes);
    if (warnings.size() > kMaxWarnings) {
      const size_t more = warnings.size() - kMaxWarnings;
      warnings.resize(kMaxWarnings);
      warnings.push_back(displayName + ": " + std::to_string(more) + " more warnings not shown");
    }
    out->document = std::move(doc);
    out->source = std::move(source);
    out->warnings = std::move(warnings);
    return true;
  } catch (const std::bad_alloc&) {
    *error = displayName + ": not enough memory to load the file";
  } catch (const std::exception& e) {
    *error = displayName + ": " + e.what();
  }
  return false;
}

}  // namespace
}  // namespace obj

bool LoadObjFile(const std::string& path, ObjImport* out, std::string* error) {
  try {
    io::FileBytes bytes;
    std::string reason;
    if (io::ReadRegularFile(path, &bytes, &reason, io::kMaxModelBytes, kObjKeptOnDiskFrom) !=
        io::RegularFileRead::kOk) {
      *error = path + ": cannot read: " + reason;
      return false;
    }
    return obj::Import(std::move(bytes), path, io::FolderPartOf(path), out, error);
  } catch (const std::bad_alloc&) {
    *error = path + ": not enough memory to load the file";
  }
  return false;
}

bool LoadObjText(std::string_view text, const std::string& displayName, const std::string& baseDir,
                 ObjImport* out, std::string* error) {
  try {
    return obj::Import(io::FileBytes(std::string(text)), displayName, baseDir, out, error);
  } catch (const std::bad_alloc&) {
    *error = displayName + ": not enough memory to load the file";
  }
  return false;
}

}  // namespace pavlex::host
