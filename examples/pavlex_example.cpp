// The example of the quick start: open an OBJ in the stand-in host, load the
// Pavlex plug-in through its entry points, switch it on, select the UVs of
// the left half of the UV square as a person would, press "UV -> Object"
// "V" in the Pavlex window and print which model vertices became selected.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "host/driver/host_driver.h"
#include "host/obj/obj_file.h"
#include "host/plugin/plugin_loader.h"
#include "host/session/host_session.h"

namespace {

int Usage(FILE* out, int code) {
  std::fprintf(out,
               "usage: pavlex-example MODEL.obj [PLUGIN.so]\n"
               "Loads MODEL.obj into the host, loads the Pavlex plug-in (default: the one\n"
               "built beside the host), selects the UVs with u < 0.5 in the current object,\n"
               "presses \"UV -> Object\" \"V\" and prints the model vertices it selected.\n");
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) return Usage(stdout, 0);
  if (argc < 2 || argc > 3) return Usage(stderr, 2);
  const std::string modelPath = argv[1];
  const std::string pluginPath = argc == 3 ? argv[2] : pavlex::host::DefaultPluginPath();

  pavlex::host::ObjImport model;
  std::string error;
  if (!pavlex::host::LoadObjFile(modelPath, &model, &error)) {
    std::fprintf(stderr, "pavlex-example: %s\n", error.c_str());
    return 1;
  }
  for (const std::string& warning : model.warnings) std::fprintf(stderr, "warning: %s\n", warning.c_str());

  pavlex::host::HostSessionOptions options;
  options.persistSettings = false;  // an example leaves the user's settings alone
  pavlex::host::HostSession session(options);
  session.replaceDocument(std::move(model.document));

  pavlex::host::LoadedPlugin* plugin = session.loadPlugin(pluginPath, &error);
  if (plugin == nullptr) {
    std::fprintf(stderr, "pavlex-example: %s\n", error.c_str());
    return 1;
  }
  session.activate(*plugin);
  std::printf("loaded %s from %s\n", plugin->name().c_str(), plugin->path().c_str());

  pavlex::host::HostDocument& doc = session.document();
  pavlex::host::HostObject* object = doc.object(doc.currentObject());
  if (object == nullptr) {
    std::fprintf(stderr, "pavlex-example: %s has no object\n", modelPath.c_str());
    return 1;
  }
  int selectedCorners = 0;
  for (int32_t f = 0; f < object->faceCount(); ++f) {
    for (int32_t c = 0; c < object->cornerCount(f); ++c) {
      if (object->faceUVs(f)[c].u < 0.5f) {
        object->setUVSelected(f, c, true);
        ++selectedCorners;
      }
    }
  }
  std::printf("object \"%s\": %d faces, %d vertices; selected %d UV corners with u < 0.5\n",
              object->name().c_str(), object->faceCount(), object->vertexCount(), selectedCorners);

  const pavlex::host::CommandResult pressed = pavlex::host::HostDriver(session).press("UV -> Object/V");
  if (!pressed) {
    std::fprintf(stderr, "pavlex-example: %s\n", pressed.error.c_str());
    return 1;
  }
  std::printf("pressed \"UV -> Object/V\" (the tool answered %s); selected vertices:",
              pressed.handled ? "true" : "false");
  for (int32_t v = 0; v < object->vertexCount(); ++v) {
    if (object->isVertexSelected(v)) {
      const MQPoint& p = object->position(v);
      std::printf(" %d (%g %g %g)", v, static_cast<double>(p.x), static_cast<double>(p.y),
                  static_cast<double>(p.z));
    }
  }
  std::printf("\n");
  return EXIT_SUCCESS;
}
