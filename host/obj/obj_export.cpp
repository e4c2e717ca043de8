// SaveObjFile: which OBJ text to write (patched or clean) and which material
// files go with it, written as one atomic set.
#include <algorithm>
#include <exception>
#include <new>

#include "host/io/file_read.h"
#include "host/io/path_names.h"
#include "host/obj/mtl_writer.h"
#include "host/obj/obj_clean_writer.h"
#include "host/obj/obj_file.h"
#include "host/obj/obj_patch_writer.h"
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

bool Save(const HostDocument& doc, const ObjSource* source, const std::string& path, std::string* error) {
  try {
    const std::string folder = io::FolderPartOf(path);
    const std::string lineBreak = source != nullptr ? source->lineBreak : "\n";
    const bool materialsKept = source != nullptr && source->materialsMatch(doc);
    std::string objText;
    const bool patched =
        materialsKept && source->structureMatches(doc) && PatchObjText(doc, *source, &objText);

    // Texts must outlive the write below.
    std::string mtlText;
    std::vector<platform::FileContents> files;
    std::vector<std::string> libraries;
    if (materialsKept) {
      libraries = source->libraryReferences;
      for (const ObjSource::Library& library : source->libraries) {
        const std::string target = folder + library.reference;
        if (StaysInFolder(library.reference) && !io::FileHasContent(target, library.bytes)) {
          files.push_back(platform::FileContents{target, library.bytes});
        }
      }
    } else {
      const std::vector<const HostMaterial*> materials = LiveMaterials(doc);
      if (!materials.empty()) {
        const std::string mtlName = StemOf(path) + ".mtl";
        libraries.push_back(mtlName);
        mtlText = WriteMtlText(materials, lineBreak);
        files.push_back(platform::FileContents{folder + mtlName, mtlText});
      }
    }
    if (!patched) objText = WriteCleanObj(doc, libraries, lineBreak);
    files.push_back(platform::FileContents{path, objText});
    platform::FileFailure failure;
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
