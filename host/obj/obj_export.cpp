// SaveObjFile: which OBJ text to write (patched or clean) and which material
// files go with it, written as one atomic set.
#include <algorithm>
#include <exception>
#include <new>

#include "host/io/file_read.h"
#include "host/io/path_names.h"
#include "host/obj/file_identity.h"
#include "host/obj/mtl_reader.h"
#include "host/obj/mtl_writer.h"
#include "host/obj/obj_clean_writer.h"
#include "host/obj/obj_file.h"
#include "host/obj/obj_patch_writer.h"
#include "host/obj/save_checks.h"
#include "host/obj/text_scan.h"
#include "platform/atomic_file.h"

namespace pavlex::host {
namespace obj {
namespace {

// A library name that stays inside the folder it is resolved in. Copies are
// only written there: an absolute or "../" reference names a file elsewhere
// that a save must not touch.
bool StaysInFolder(const std::string& reference) {
  if (reference.empty() || io::IsRootedPath(reference)) return false;
  size_t start = 0;
  while (start <= reference.size()) {
    const size_t end = std::min(reference.find_first_of(io::kPathSeparators, start), reference.size());
    if (reference.compare(start, end - start, "..") == 0) return false;
    start = end + 1;
  }
  return true;
}

std::string StemOf(const std::string& path) {
  std::string name = io::NamePartOf(path);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

std::vector<const HostMaterial*> LiveMaterials(const HostDocument& doc) {
  std::vector<const HostMaterial*> materials;
  for (int32_t s = 0; s < doc.materialSlotCount(); ++s) {
    if (const HostMaterial* m = doc.material(s)) materials.push_back(m);
  }
  return materials;
}

// A name in a file saved in `folder` ("" or ending in a separator) as the
// reader resolves it.
std::string Resolve(const std::string& folder, const std::string& name) {
  return io::IsRootedPath(name) ? name : folder + name;
}

// What the saved OBJ says about material libraries, and the files it
// writes for them.
struct LibraryPlan {
  std::vector<std::string> statements;  // the arguments of its mtllib statements
  std::vector<TextEdit> edits;          // the statements a patch must rewrite
  std::vector<std::string> referenced;  // the files those statements name
  std::vector<std::string> texts;       // bytes of `files`, owned here
  std::vector<std::string> paths;       // the library files to write
};

// Into the folder the model was read from: the references stay as written
// and a library inside that folder is written back only when the file no
// longer holds what was read.
void KeepLibraries(const ObjSource& source, const std::string& folder, LibraryPlan* plan) {
  plan->statements = source.libraryReferences;
  for (const ObjSource::LibraryStatement& statement : source.libraryStatements) {
    for (const std::string& name : statement.names) plan->referenced.push_back(Resolve(folder, name));
  }
  for (const ObjSource::Library& library : source.libraries) {
    const std::string target = folder + library.reference;
    if (StaysInFolder(library.reference) && !io::FileHasContent(target, library.bytes)) {
      plan->texts.push_back(library.bytes);
      plan->paths.push_back(target);
    }
  }
}

// The file name a copy of each library read gets beside the saved OBJ:
// its own, with "-2", "-3"... when two libraries share one, or when it
// would replace the original of another library of the model.
std::vector<std::string> CopyNames(const ObjSource& source, const std::string& folder) {
  std::vector<std::string> names;
  for (size_t i = 0; i < source.libraries.size(); ++i) {
    std::string own = io::NamePartOf(source.libraries[i].reference);
    if (own.empty() || own == "." || own == "..") own = "materials.mtl";
    const size_t dot = own.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > 0;
    const std::string stem = hasExtension ? own.substr(0, dot) : own;
    const std::string extension = hasExtension ? own.substr(dot) : std::string();
    auto taken = [&](const std::string& name) {
      for (const std::string& earlier : names) {
        if (SameFile(folder + name, folder + earlier)) return true;
      }
      for (size_t k = 0; k < source.libraries.size(); ++k) {
        if (k != i && SameFile(folder + name, source.libraries[k].path)) return true;
      }
      return false;
    };
    std::string name = own;
    for (size_t n = 2; taken(name); ++n) name = stem + "-" + std::to_string(n) + extension;
    names.push_back(std::move(name));
  }
  return names;
}

// Into another folder: each library read is copied beside the saved OBJ
// (CopyNames), its image names rewritten to lead to the same files from
// there, and the mtllib statements name the copies. A library that was
// not read keeps its reference as written.
void CopyLibraries(const ObjSource& source, const std::string& folder, LibraryPlan* plan) {
  const std::vector<std::string> copies = CopyNames(source, folder);
  for (size_t i = 0; i < source.libraries.size(); ++i) {
    const ObjSource::Library& library = source.libraries[i];
    const std::string from = io::FolderPartOf(library.path);
    std::string text = RenameMtlFiles(
        library.bytes, [&](const std::string& name) { return RebaseFileName(name, from, folder); });
    const std::string target = folder + copies[i];
    if (io::FileHasContent(target, text)) continue;
    plan->texts.push_back(std::move(text));
    plan->paths.push_back(target);
  }
  for (size_t s = 0; s < source.libraryStatements.size(); ++s) {
    const ObjSource::LibraryStatement& statement = source.libraryStatements[s];
    std::string joined;
    bool changed = false;
    for (size_t k = 0; k < statement.names.size(); ++k) {
      const int32_t library = statement.libraries[k];
      const std::string& name = library >= 0 ? copies[static_cast<size_t>(library)] : statement.names[k];
      changed = changed || name != statement.names[k];
      plan->referenced.push_back(Resolve(folder, name));
      if (!joined.empty()) joined += ' ';
      joined += name;
    }
    if (!changed) {
      plan->statements.push_back(source.libraryReferences[s]);
      continue;
    }
    plan->edits.push_back(TextEdit{statement.offset, source.libraryReferences[s].size(), EncodeName(joined)});
    plan->statements.push_back(std::move(joined));
  }
}

// One new library named after the OBJ, with image names leading to the
// files they led to before.
bool WriteNewLibrary(const HostDocument& doc, const ObjSource* source, const std::string& path,
                     const std::string& lineBreak, LibraryPlan* plan, std::string* error) {
  const std::vector<const HostMaterial*> live = LiveMaterials(doc);
  if (live.empty()) return true;
  std::vector<HostMaterial> rebased;
  rebased.reserve(live.size());
  std::vector<const HostMaterial*> materials;
  const std::string folder = io::FolderPartOf(path);
  for (const HostMaterial* m : live) {
    rebased.push_back(*m);
    HostMaterial& copy = rebased.back();
    std::string from;
    if (source != nullptr && source->imageFolder(*m, &from)) {
      for (std::string* name : {&copy.textureName, &copy.alphaName, &copy.bumpName})
        *name = RebaseFileName(*name, from, folder);
    }
    materials.push_back(&copy);
  }
  const std::string mtlName = StemOf(path) + ".mtl";
  std::string problem;
  if (!AllNumbersFinite(materials, &problem)) {
    *error = folder + mtlName + ": cannot save: " + problem;
    return false;
  }
  plan->statements.push_back(mtlName);
  plan->referenced.push_back(folder + mtlName);
  plan->texts.push_back(WriteMtlText(materials, lineBreak));
  plan->paths.push_back(folder + mtlName);
  return true;
}

bool Save(const HostDocument& doc, const ObjSource* source, const std::string& path, std::string* error) {
  try {
    const std::string folder = io::FolderPartOf(path);
    const std::string lineBreak = source != nullptr ? source->lineBreak : "\n";
    const bool materialsKept = source != nullptr && source->materialsMatch(doc);
    const bool structureKept = materialsKept && source->structureMatches(doc);

    std::string problem;
    if (!AllNumbersFinite(doc, !structureKept, &problem)) {
      *error = path + ": cannot save: " + problem;
      return false;
    }

    LibraryPlan plan;
    if (!materialsKept) {
      if (!WriteNewLibrary(doc, source, path, lineBreak, &plan, error)) return false;
    } else if (SameFolder(folder, source->folder)) {
      KeepLibraries(*source, folder, &plan);
    } else {
      CopyLibraries(*source, folder, &plan);
    }

    // The OBJ written over one of its own libraries would lose the materials.
    std::vector<std::string> libraries = plan.paths;
    libraries.insert(libraries.end(), plan.referenced.begin(), plan.referenced.end());
    for (const std::string& library : libraries) {
      if (!SameFile(path, library)) continue;
      *error = path + ": cannot save: the model and its material library '" + library +
               "' would be one file; choose another name";
      return false;
    }

    std::vector<platform::FileContents> files;
    for (size_t i = 0; i < plan.paths.size(); ++i) {
      // Libraries go beside the file the person named; a link planted there
      // is not written through.
      files.push_back(platform::FileContents{plan.paths[i], plan.texts[i], platform::LinkRule::kRefuse});
    }
    platform::FileFailure failure;
    if (structureKept) {
      // The patched text streams into the file: a large model is never
      // held twice. Whether a patch describes the document is only known
      // partway; if not, that attempt is discarded and a clean file written.
      bool patchRan = false;
      PatchResult patch = PatchResult::kNotDescribable;
      std::string unreadable;
      files.push_back(platform::FileContents::Streamed(path, [&](platform::ByteSink& sink) {
        patchRan = true;
        patch = PatchObjText(doc, *source, sink, plan.edits, &unreadable);
        return patch == PatchResult::kWritten;
      }));
      if (platform::WriteFilesAtomically(files, &failure)) return true;
      if (patchRan && patch == PatchResult::kSourceUnreadable) {
        *error = path + ": cannot save: the copy of the model kept since it was opened cannot be read: " +
                 unreadable;
        return false;
      }
      if (!patchRan || patch != PatchResult::kNotDescribable) {
        *error = failure.Message();
        return false;
      }
      files.pop_back();
    }
    files.push_back(platform::FileContents::Streamed(
        path, [&](platform::ByteSink& sink) { return WriteCleanObj(doc, plan.statements, lineBreak, sink); }));
    if (platform::WriteFilesAtomically(files, &failure)) return true;
    *error = failure.Message();
    return false;
  } catch (const std::bad_alloc&) {
    *error = path + ": not enough memory to save the file";
  } catch (const std::exception& e) {
    *error = path + ": " + e.what();
  }
  return false;
}

}  // namespace
}  // namespace obj

bool SaveObjFile(const HostDocument& doc, const ObjSource* source, const std::string& path,
                 std::string* error) {
  return obj::Save(doc, source, path, error);
}

}  // namespace pavlex::host
