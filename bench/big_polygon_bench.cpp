// One polygon of 1,000, 10,000 or 70,000 corners: a unit circle, slightly
// wavy in z so it is not planar, its UVs a circle too. At 70,000 corners
// every turn of the circle is below the triangulation's tolerance. Regularize
// lays the face out from its 3D shape once per selected edge, so with every
// corner selected it runs as many layouts as the face has corners (the host
// cuts the face once and answers the later, identical requests from what it
// kept). The other tools run with every corner selected. UVs and selection
// are restored before every iteration, outside the timing, and the host is
// made to forget the face's triangles, so every iteration cuts it afresh.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/api/handles.h"
#include "host/document/host_document.h"
#include "host/document/triangulate.h"
#include "host/obj/obj_file.h"
#include "plugin/hostlink/host_functions.h"
#include "plugin/model/cmq_object.h"
#include "plugin/tools/select/select_floating.h"
#include "plugin/tools/select/select_group.h"
#include "plugin/tools/select/uv_to_object.h"
#include "plugin/tools/transform/equal_alloc_uv.h"
#include "plugin/tools/transform/grab_uv.h"
#include "plugin/tools/transform/invert_uv.h"
#include "plugin/tools/transform/sew_uv.h"
#include "plugin/tools/transform/turn_uv.h"
#include "plugin/tools/transform/uv_bounds.h"

namespace {

using pavlex::host::HostObject;

struct Polygon {
  pavlex::host::ObjImport import;
  HostObject* object = nullptr;
  std::vector<MQCoordinate> uvs;
  MQDocument handle() const { return pavlex::host::api::ToHandle(import.document.get()); }
};

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "%s\n", what.c_str());
  std::exit(1);
}

Polygon& ThePolygon(int32_t corners) {
  static std::map<int32_t, std::unique_ptr<Polygon>> polygons;
  std::unique_ptr<Polygon>& slot = polygons[corners];
  if (slot) return *slot;
  if (pavlex::BindHostFunctions(PAVLEX_HOST_LIBRARY).status != pavlex::HostBindStatus::kBound)
    Fail("cannot bind the host library");
  std::string text, face = "f";
  char line[96];
  for (int32_t i = 0; i < corners; ++i) {
    const double a = 6.283185307179586 * i / corners;
    std::snprintf(line, sizeof line, "v %.6f %.6f %.6f\n", std::cos(a), std::sin(a), 0.1 * std::sin(7 * a));
    text += line;
  }
  for (int32_t i = 0; i < corners; ++i) {
    const double a = 6.283185307179586 * i / corners;
    std::snprintf(line, sizeof line, "vt %.6f %.6f\n", 0.5 + 0.4 * std::cos(a), 0.5 + 0.4 * std::sin(a));
    text += line;
    face += " " + std::to_string(i + 1) + "/" + std::to_string(i + 1);
  }
  text += face + "\n";
  auto polygon = std::make_unique<Polygon>();
  std::string error;
  if (!pavlex::host::LoadObjText(text, "polygon.obj", "", &polygon->import, &error)) Fail(error);
  polygon->object = polygon->import.document->object(polygon->import.document->currentObject());
  polygon->uvs.assign(polygon->object->faceUVs(0), polygon->object->faceUVs(0) + corners);
  slot = std::move(polygon);
  return *slot;
}

enum class Selection { kOneEdge, kAll };

void Restore(Polygon& polygon, Selection selection) {
  // Another polygon cut last: the host keeps one.
  std::vector<MQPoint> other(65);
  for (size_t i = 0; i < other.size(); ++i) other[i] = {std::cos(0.1f * i), std::sin(0.1f * i), 0};
  std::vector<int32_t> indices(3 * (other.size() - 2));
  pavlex::host::TriangulatePolygon(other.data(), static_cast<int32_t>(other.size()), indices.data());
  const auto corners = static_cast<int32_t>(polygon.uvs.size());
  std::copy(polygon.uvs.begin(), polygon.uvs.end(), polygon.object->faceUVs(0));
  for (int32_t c = 0; c < corners; ++c) {
    polygon.object->setUVSelected(0, c, selection == Selection::kAll || c < 2);
  }
}

template <class Tool>
void Run(benchmark::State& state, Selection selection, Tool tool) {
  Polygon& polygon = ThePolygon(static_cast<int32_t>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    Restore(polygon, selection);
    state.ResumeTiming();
    benchmark::DoNotOptimize(tool(polygon.handle()));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

bool Regularize(MQDocument d) {
  return pavlex::GrabUV(d, pavlex::GrabMode::kRegularize, false);
}
pavlex::UVBounds Bounds(MQDocument d) {
  return pavlex::SelectionUVBounds(cmq::CMQObject::Current(d));
}

void BM_RegularizeOneEdge(benchmark::State& s) {
  Run(s, Selection::kOneEdge, Regularize);
}
void BM_RegularizeEveryEdge(benchmark::State& s) {
  Run(s, Selection::kAll, Regularize);
}
void BM_InvertH(benchmark::State& s) {
  Run(s, Selection::kAll, [](MQDocument d) {
    return pavlex::InvertUV(d, Bounds(d), pavlex::InvertDirection::kHorizontal, false);
  });
}
void BM_TurnL(benchmark::State& s) {
  Run(s, Selection::kAll, [](MQDocument d) { return pavlex::TurnUV(d, Bounds(d), pavlex::TurnDirection::kLeft); });
}
void BM_Sew(benchmark::State& s) {
  Run(s, Selection::kAll, [](MQDocument d) { return pavlex::SewUV(d, pavlex::SewMode::kToMean, false); });
}
void BM_SelectGroup(benchmark::State& s) {
  Run(s, Selection::kOneEdge, pavlex::SelectGroup);
}
void BM_SelectFloating(benchmark::State& s) {
  Run(s, Selection::kOneEdge, pavlex::SelectFloating);
}
void BM_UVToObjectLine(benchmark::State& s) {
  Run(s, Selection::kAll, pavlex::UVToObjectLine);
}
void BM_EqualAlloc(benchmark::State& s) {
  Run(s, Selection::kAll, pavlex::EqualAllocUV);
}
void BM_GrabF(benchmark::State& s) {
  Run(s, Selection::kOneEdge, [](MQDocument d) { return pavlex::GrabUV(d, pavlex::GrabMode::kAttachFaces, false); });
}

}  // namespace

BENCHMARK(BM_RegularizeOneEdge)->Arg(1000)->Arg(10000)->Arg(70000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegularizeEveryEdge)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InvertH)->Arg(70000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TurnL)->Arg(70000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sew)->Arg(70000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectGroup)->Arg(70000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectFloating)->Arg(70000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UVToObjectLine)->Arg(70000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EqualAlloc)->Arg(70000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrabF)->Arg(70000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
