// Helpers of the OBJ tests: data files, files in temporary folders, and reading a
// loaded document back through the host's exported C functions, as a
// plug-in sees it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "host/api/handles.h"
#include "host/api/host_exports.h"
#include "host/obj/obj_file.h"
#include "tests/support/temp_folder.h"

namespace pavlex::testing {

inline std::string ObjData(const std::string& name) {
  return std::string(PAVLEX_TEST_DATA_DIR) + "/obj/" + name;
}

inline std::string ReadBytes(const std::string& path) {
  // File names are UTF-8, as the host takes them.
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(std::filesystem::u8path(path), std::ios::binary) << bytes;
}

// The names of the files in `folder`, sorted.
inline std::vector<std::string> FileNamesIn(const TempFolder& folder) {
  std::vector<std::string> out;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
    out.push_back(entry.path().filename().u8string());
  std::sort(out.begin(), out.end());
  return out;
}

inline MQDocument Handle(const host::ObjImport& import) {
  return host::api::ToHandle(import.document.get());
}

inline MQObject ObjectAt(const host::ObjImport& import, int32_t slot) {
  return MQDoc_GetObject(Handle(import), slot);
}

// One face as the C interface reports it.
struct FaceView {
  std::vector<int32_t> vertices;
  std::vector<MQCoordinate> uvs;
  int32_t material = -1;
};

inline FaceView ReadFace(MQObject obj, int32_t face) {
  FaceView view;
  const int32_t n = MQObj_GetFacePointCount(obj, face);
  view.vertices.resize(static_cast<size_t>(n));
  view.uvs.resize(static_cast<size_t>(n));
  MQObj_GetFacePointArray(obj, face, view.vertices.data());
  MQObj_GetFaceCoordinateArray(obj, face, view.uvs.data());
  view.material = MQObj_GetFaceMaterial(obj, face);
  return view;
}

inline MQPoint Position(MQObject obj, int32_t vertex) {
  MQPoint p{};
  MQObj_GetVertex(obj, vertex, &p);
  return p;
}

inline uint64_t Bits(const MQCoordinate& uv) {
  uint64_t bits;
  std::memcpy(&bits, &uv, sizeof bits);
  return bits;
}

// Every live face of every object, corner by corner, as text that compares
// positions and UVs bit for bit ("x,y,z|u,v" per corner, hex bits).
inline std::vector<std::string> Geometry(const host::ObjImport& import) {
  std::vector<std::string> out;
  const MQDocument doc = Handle(import);
  for (int32_t s = 0; s < MQDoc_GetObjectCount(doc); ++s) {
    const MQObject obj = MQDoc_GetObject(doc, s);
    if (obj == nullptr) continue;
    for (int32_t f = 0; f < MQObj_GetFaceCount(obj); ++f) {
      const FaceView face = ReadFace(obj, f);
      if (face.vertices.empty()) continue;
      std::ostringstream line;
      line << std::hex;
      for (size_t c = 0; c < face.vertices.size(); ++c) {
        const MQPoint p = Position(obj, face.vertices[c]);
        uint32_t xyz[3];
        std::memcpy(xyz, &p, sizeof xyz);
        line << xyz[0] << ',' << xyz[1] << ',' << xyz[2] << '|' << Bits(face.uvs[c]) << ' ';
      }
      out.push_back(line.str());
    }
  }
  return out;
}

// The file opened as the host opens it; a refusal fails the test.
inline host::ObjImport LoadObj(const std::string& path) {
  host::ObjImport import;
  std::string error;
  EXPECT_TRUE(host::LoadObjFile(path, &import, &error)) << error;
  return import;
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Data files whose unedited save must be byte-identical.
inline const char* const kRoundTripFiles[] = {
    "seams.obj",
    "ngons.obj",
    "negative_indices.obj",
    "several_objects.obj",
    "crlf.obj",
    "comments.obj",
    "faces_without_vt.obj",
    "vt_three_components.obj",
    "lines_and_smoothing.obj",
    "materials.obj",
    "missing_mtl.obj",
};

// Changes the UV of every corner on an even vertex, as a function of the
// vertex and its old UV (so corners that shared a UV still share one).
inline void EditEvenVertexUVs(const host::ObjImport& import) {
  const MQDocument doc = Handle(import);
  for (int32_t s = 0; s < MQDoc_GetObjectCount(doc); ++s) {
    const MQObject obj = MQDoc_GetObject(doc, s);
    for (int32_t f = 0; f < MQObj_GetFaceCount(obj); ++f) {
      FaceView face = ReadFace(obj, f);
      for (size_t c = 0; c < face.uvs.size(); ++c) {
        if (face.vertices[c] % 2 != 0) continue;
        face.uvs[c].u = face.uvs[c].u * 0.5f + 0.1f * static_cast<float>(face.vertices[c]) + 0.3f;
        face.uvs[c].v = -face.uvs[c].v / 3.0f;
      }
      MQObj_SetFaceCoordinateArray(obj, f, face.uvs.data());
    }
  }
}

}  // namespace pavlex::testing
