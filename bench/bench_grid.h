// The million-face benchmark document most tool benchmarks share: a grid of
// grid_mesh.h loaded through the host's OBJ import, with the plug-in's host
// function table bound to the host library as MQInit binds it.
#pragma once

#include <cstdint>
#include <vector>

#include "host/document/host_object.h"
#include "host/obj/obj_file.h"
#include "hostapi/mq_types.h"

namespace pavlex::bench {

struct BenchGrid {
  host::ObjImport import;
  host::HostObject* object = nullptr;  // the grid's only object
  std::vector<MQCoordinate> uvs;       // every corner's UV as loaded, 4 per quad

  MQDocument handle() const;
  // Puts every corner back at its loaded UV (outside a benchmark's timing).
  void RestoreUVs();
};

// cells x cells quads in islandsPerSide x islandsPerSide UV islands; vertex
// (i, j) is j * (cells + 1) + i and quad (i, j) is face j * cells + i. Loaded
// once per process and kept; a failure ends the process with a message.
BenchGrid& LoadBenchGrid(int32_t cells, int32_t islandsPerSide);

}  // namespace pavlex::bench
