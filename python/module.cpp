// The `pavlex` Python module: pavlex.Session, pavlex.CommandError and the
// NumPy arrays of an object's mesh. Everything a call does goes through
// PythonSession: command lines through the host command language, array
// writes through the host object's own setters inside one user command.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/commands/command_parser.h"
#include "python/command_text.h"
#include "python/mesh_arrays.h"
#include "python/python_session.h"

namespace py = pybind11;

namespace pavlex::python {
namespace {

// pavlex.CommandError; owned by the module, which outlives every call.
PyObject* g_commandError = nullptr;

[[noreturn]] void RaiseCommandError(const std::string& message, std::optional<int> line, const std::string& reason) {
  py::object error = py::reinterpret_borrow<py::object>(g_commandError)(message);
  error.attr("line") = line ? py::cast(*line) : py::none();
  error.attr("reason") = reason;
  PyErr_SetObject(g_commandError, error.ptr());
  throw py::error_already_set();
}

// A path as the host takes it: str, bytes or os.PathLike.
std::string PathText(const py::handle& path) {
  return py::module_::import("os").attr("fsdecode")(path).cast<std::string>();
}

std::string ObjectName(const py::handle& object) {
  if (object.is_none()) return {};
  if (py::isinstance<py::bool_>(object)) throw py::type_error("object is an index (int) or a name (str)");
  if (py::isinstance<py::int_>(object)) {
    const long long slot = object.cast<long long>();
    if (slot < 0) throw py::value_error("an object index is not negative");
    return std::to_string(slot);
  }
  if (py::isinstance<py::str>(object)) return object.cast<std::string>();
  throw py::type_error("object is an index (int) or a name (str)");
}

void Warn(const std::string& message) {
  if (PyErr_WarnEx(PyExc_UserWarning, message.c_str(), 2) != 0) throw py::error_already_set();
}

std::string ShapeText(const py::array& array) {
  std::string text = "(";
  for (py::ssize_t i = 0; i < array.ndim(); ++i) {
    text += (i ? ", " : "") + std::to_string(array.shape(i));
  }
  return text + (array.ndim() == 1 ? ",)" : ")");
}

std::string DtypeText(const py::array& array) {
  return py::str(array.dtype()).cast<std::string>();
}

class Session {
 public:
  Session(const py::object& settings, const py::object& plugin) {
    PythonSessionOptions options;
    if (!settings.is_none()) options.settingsPath = PathText(settings);
    if (!plugin.is_none()) options.pluginPath = PathText(plugin);
    core_ = std::make_unique<PythonSession>(options);
  }

  PythonSession& core() {
    if (!core_) throw std::runtime_error("this pavlex.Session has ended; start a new one");
    return *core_;
  }
  bool running() const { return core_ != nullptr; }
  void exit() { core_.reset(); }

  std::string run(const std::string& script) {
    RunResult result = core().run(script, "script");
    for (const std::string& warning : result.warnings) Warn(warning);
    return std::move(result.printed);
  }

  // One command line a typed call stands for. Its errors carry no line:
  // the caller wrote no script.
  void runTyped(const std::string& line) {
    RunResult result;
    try {
      result = core().run(line, "call");
    } catch (const ScriptError& error) {
      std::string message = error.what();
      for (size_t at = 0; (at = message.find("call:1: ", at)) != std::string::npos;) message.erase(at, 8);
      RaiseCommandError(message, std::nullopt, error.reason());
    }
    for (const std::string& warning : result.warnings) Warn(warning);
  }

  host::HostObject& object(const py::handle& name) { return core().object(ObjectName(name)); }

  void edit(const std::function<void()>& write) {
    const std::string notice = core().edit(write);
    if (!notice.empty()) Warn(notice);
  }

 private:
  std::unique_ptr<PythonSession> core_;
};

py::array_t<float> UVs(Session& session, const py::object& name) {
  const host::HostObject& object = session.object(name);
  py::array_t<float> out({static_cast<py::ssize_t>(LiveCornerCount(object)), py::ssize_t{2}});
  CopyUVs(object, out.mutable_data());
  return out;
}

py::tuple Faces(Session& session, const py::object& name) {
  const host::HostObject& object = session.object(name);
  py::array_t<int32_t> counts(static_cast<py::ssize_t>(object.faceCount()));
  py::array_t<int32_t> vertices(static_cast<py::ssize_t>(LiveCornerCount(object)));
  CopyFaceCornerCounts(object, counts.mutable_data());
  CopyCornerVertices(object, vertices.mutable_data());
  return py::make_tuple(counts, vertices);
}

py::array_t<float> Positions(Session& session, const py::object& name) {
  const host::HostObject& object = session.object(name);
  py::array_t<float> out({static_cast<py::ssize_t>(object.vertexCount()), py::ssize_t{3}});
  CopyPositions(object, out.mutable_data());
  return out;
}

py::array_t<bool> UVSelection(Session& session, const py::object& name) {
  const host::HostObject& object = session.object(name);
  py::array_t<bool> out(static_cast<py::ssize_t>(LiveCornerCount(object)));
  CopyUVSelection(object, out.mutable_data());
  return out;
}

void SetUVs(Session& session, const py::object& values, const py::object& name) {
  host::HostObject& object = session.object(name);
  const size_t corners = LiveCornerCount(object);
  const std::string expected = "a float array of shape (" + std::to_string(corners) +
                               ", 2), one (u, v) row per live-face corner of " +
                               commands::QuoteWord(object.name());
  py::array array = py::array::ensure(values);
  if (!array) throw py::value_error("set_uvs expects " + expected);
  if (array.dtype().kind() != 'f') {
    throw py::value_error("set_uvs expects " + expected + ", not dtype " + DtypeText(array));
  }
  if (array.ndim() != 2 || static_cast<size_t>(array.shape(0)) != corners || array.shape(1) != 2) {
    throw py::value_error("set_uvs expects " + expected + ", not shape " + ShapeText(array));
  }
  // One conversion to packed float32, the host's own UV type.
  const auto packed = py::array_t<float, py::array::c_style | py::array::forcecast>::ensure(array);
  if (!packed) throw py::error_already_set();
  const float* data = packed.data();
  const std::ptrdiff_t bad = FirstNonFiniteUV(data, corners);
  if (bad >= 0) {
    throw py::value_error("set_uvs takes finite numbers; row " + std::to_string(bad) + " is not");
  }
  session.edit([&] { WriteUVs(object, data); });
}

void SetUVSelection(Session& session, const py::object& mask, const py::object& name) {
  host::HostObject& object = session.object(name);
  const size_t corners = LiveCornerCount(object);
  const std::string expected = "a bool array of shape (" + std::to_string(corners) +
                               ",), one flag per live-face corner of " + commands::QuoteWord(object.name());
  py::array array = py::array::ensure(mask);
  if (!array) throw py::value_error("set_uv_selection expects " + expected);
  if (array.dtype().kind() != 'b') {
    throw py::value_error("set_uv_selection expects " + expected + ", not dtype " + DtypeText(array));
  }
  if (array.ndim() != 1 || static_cast<size_t>(array.shape(0)) != corners) {
    throw py::value_error("set_uv_selection expects " + expected + ", not shape " + ShapeText(array));
  }
  const auto packed = py::array_t<bool, py::array::c_style>::ensure(array);
  if (!packed) throw py::error_already_set();
  const bool* data = packed.data();
  session.edit([&] { WriteUVSelection(object, data); });
}

std::vector<std::pair<int64_t, int64_t>> CornerPairs(const py::handle& corners) {
  std::vector<std::pair<int64_t, int64_t>> pairs;
  for (const py::handle item : py::iter(corners)) {
    const py::sequence pair = py::reinterpret_borrow<py::sequence>(item);
    if (!py::isinstance<py::sequence>(item) || py::len(pair) != 2) {
      throw py::value_error("select_uv takes (face, corner) pairs, not " + py::repr(item).cast<std::string>());
    }
    try {
      pairs.emplace_back(pair[0].cast<int64_t>(), pair[1].cast<int64_t>());
    } catch (const py::cast_error&) {
      throw py::value_error("select_uv takes whole-number (face, corner) pairs, not " +
                            py::repr(item).cast<std::string>());
    }
  }
  return pairs;
}

const char* kModuleDoc = R"(Pavlex UV tools from Python.

A Session starts the stand-in host with the Pavlex plug-in loaded and
switched on, exactly as the `pavlex` command starts it. Everything runs
through the host: `run()` takes the same command language as `pavlex -c`,
the typed calls (press, click, check, set, select_uv, layout) each stand
for one such command, and the array calls read and write the current
object's mesh with NumPy, inside one undoable command each.

    import numpy as np
    import pavlex

    with pavlex.Session(settings="/tmp/pavlex-settings.xml") as s:
        s.open("chair.obj")
        uv = s.uvs()                       # float32, (corners, 2)
        s.set_uv_selection(uv[:, 0] < 0.5) # the left half
        s.press("Invert/H")
        s.save("chair-uv.obj")

Only one Session runs in a process at a time.
)";

const char* kSessionDoc = R"(The stand-in host with the Pavlex plug-in loaded and switched on.

Session(settings=None, plugin=None)

settings  the settings file, read at start and written at the end when it
          changed; None means the pavlex command's default
          ($XDG_CONFIG_HOME/pavlex/settings.xml).
plugin    the plug-in library; None means the one installed beside the
          host library.

The document starts empty; `open()` reads an OBJ file. A Session is a
context manager: leaving its with-block (or calling `exit()`) unloads the
plug-in and ends the host, after which every call raises RuntimeError.
Only one Session may run in a process at a time; starting a second one
raises RuntimeError.

Commands that fail raise pavlex.CommandError with the host's message.
A dialog a command opens takes the commands after it in the same `run()`
script; a message box waits for an `answer` line there, except one with
only an OK button, which is how the plug-in says why it could not do its
work: it is acknowledged at once and the command fails with its text.
Nothing ever waits for a person.

Array calls take `object=None` (the current object), an object index or
an object name. Corners are those of the live faces, in ascending face
order, each face's corners in order: the order `print uv` lists them in.
They return copies; writes go through the host's UV and selection
setters as one undoable command, followed by the redraw every command
ends with.
)";

}  // namespace
}  // namespace pavlex::python

PYBIND11_MODULE(_pavlex, m) {
  using pavlex::python::Session;
  namespace pp = pavlex::python;
  m.doc() = pp::kModuleDoc;
  m.attr("__version__") = PAVLEX_VERSION;

  // Kept for the life of the process: the module holds the type, and a
  // static destructor would release it after the interpreter has gone.
  auto& commandError = *new py::exception<pp::ScriptError>(m, "CommandError", PyExc_Exception);
  commandError.attr("__doc__") =
      "A host command failed. str(error) is the host's message; `reason` is the message without its "
      "place, and `line` the 1-based line of the run() script that failed (None for typed calls).";
  commandError.attr("line") = py::none();
  commandError.attr("reason") = "";
  commandError.attr("__module__") = "pavlex";
  pp::g_commandError = commandError.ptr();
  py::register_exception_translator([](std::exception_ptr thrown) {
    try {
      if (thrown) std::rethrow_exception(thrown);
    } catch (const pp::ScriptError& error) {
      pp::RaiseCommandError(error.what(), error.line(), error.reason());
    } catch (const pavlex::commands::CommandError& error) {
      pp::RaiseCommandError(error.what(), std::nullopt, error.what());
    }
  });

  py::class_<Session> session(m, "Session", pp::kSessionDoc);
  session.attr("__module__") = "pavlex";
  session
      .def(py::init<const py::object&, const py::object&>(), py::arg("settings") = py::none(),
           py::arg("plugin") = py::none(),
           "Starts the host, loads the plug-in and switches it on. Raises RuntimeError when another "
           "Session runs or the plug-in cannot be loaded.")
      .def("__enter__", [](Session& self) -> Session& { return self; }, py::return_value_policy::reference,
           "Answers the session itself.")
      .def(
          "__exit__",
          [](Session& self, const py::object&, const py::object&, const py::object&) {
            self.exit();
            return false;
          },
          py::arg("type"), py::arg("value"), py::arg("traceback"), "Ends the session, as exit() does.")
      .def("exit", &Session::exit,
           "Unloads the plug-in and ends the host; the settings file is written when it changed. "
           "Calling it again does nothing.")
      .def_property_readonly("running", &Session::running, "False once the session has ended.")
      .def("__repr__",
           [](Session& self) {
             if (!self.running()) return std::string("<pavlex.Session, ended>");
             const std::string& path = self.core().session().documentPath();
             return "<pavlex.Session, document " + (path.empty() ? std::string("from no file") : path) + ">";
           },
           "Names the file the document was opened from or saved to last, or says the session ended.")

      // --- the command language ---------------------------------------------------
      .def("run", &Session::run, py::arg("script"),
           "Runs host commands, as `pavlex -c` does: ';' or newlines separate them, and every line is "
           "checked before the first runs. Answers the text the `print` commands printed. Raises "
           "CommandError (with `line`) at the first command that fails; the commands after it do not "
           "run. Warnings become Python UserWarnings.")
      .def(
          "open", [](Session& self, const py::object& path) { self.runTyped("open " + pp::ScriptWord(pp::PathText(path))); },
          py::arg("path"),
          "Reads an OBJ file (and the MTL files it names) as the document. The old document stays when "
          "the file cannot be read (CommandError).")
      .def(
          "save",
          [](Session& self, const py::object& path) {
            self.runTyped(path.is_none() ? std::string("save") : "save " + pp::ScriptWord(pp::PathText(path)));
          },
          py::arg("path") = py::none(),
          "Writes the document as OBJ and MTL, atomically: a failed save leaves the old files. Without a "
          "path, to the file opened or saved last.")
      .def("close", [](Session& self) { self.runTyped("close"); },
           "Closes the document; an empty one follows. The session keeps running.")
      .def("undo", [](Session& self) { self.runTyped("undo"); },
           "Takes back the last command that changed the document, array writes included.")
      .def("redo", [](Session& self) { self.runTyped("redo"); }, "Does again the last command undone.")

      // --- the plug-in's widgets ----------------------------------------------------
      .def(
          "press", [](Session& self, const std::string& path) { self.runTyped("press " + pp::ScriptWord(path)); },
          py::arg("path"),
          "Presses a button, as `press PATH` does (for example 'Select/group' or 'Invert/H'). A button "
          "that opens a dialog needs the dialog's commands after it: use run() for those.")
      .def(
          "click",
          [](Session& self, const std::string& path, bool ctrl, bool shift) {
            if (ctrl && shift) throw py::value_error("click holds ctrl or shift, not both");
            self.runTyped("click " + pp::ScriptWord(path) + (ctrl ? " ctrl" : shift ? " shift" : ""));
          },
          py::arg("path"), py::arg("ctrl") = false, py::arg("shift") = false,
          "Clicks a button or check box with the mouse, holding Ctrl or Shift when asked.")
      .def(
          "check",
          [](Session& self, const std::string& path, bool on) {
            self.runTyped("check " + pp::ScriptWord(path) + (on ? " on" : " off"));
          },
          py::arg("path"), py::arg("on"), "Ticks (on=True) or clears a check box.")
      .def(
          "set",
          [](Session& self, const std::string& path, const py::object& value) {
            std::string text;
            if (py::isinstance<py::bool_>(value)) {
              throw py::type_error("set takes a number or a str; use check() for check boxes");
            } else if (py::isinstance<py::int_>(value)) {
              text = py::str(value).cast<std::string>();
            } else if (py::isinstance<py::float_>(value)) {
              text = pp::NumberWord(value.cast<double>());
            } else if (py::isinstance<py::str>(value)) {
              text = value.cast<std::string>();
            } else {
              throw py::type_error("set takes a number or a str, not " +
                                   py::str(py::type::of(value).attr("__name__")).cast<std::string>());
            }
            self.runTyped("set " + pp::ScriptWord(path) + " " + pp::ScriptWord(text));
          },
          py::arg("path"), py::arg("value"),
          "Types a value into a spin box or an edit and commits it, as `set PATH VALUE` does.")
      .def(
          "select_uv",
          [](Session& self, const py::object& what, const py::object& rect, bool deselect) {
            pp::UVSelectionRequest request;
            request.deselect = deselect;
            if (py::isinstance<py::str>(what)) {
              request.what = what.cast<std::string>();
            } else if (!what.is_none()) {
              request.corners = pp::CornerPairs(what);
              if (request.corners.empty()) return;  // nothing to add
            }
            if (!rect.is_none()) request.rect = rect.cast<std::vector<double>>();
            self.runTyped(pp::SelectUVLine(request));
          },
          py::arg("what") = py::none(), py::kw_only(), py::arg("rect") = py::none(), py::arg("deselect") = false,
          "Selects UV corners of the current object, as `select uv` does: what='all' or 'none', a list "
          "of (face, corner) pairs, or rect=(u0, v0, u1, v1) for the corners inside. deselect=True takes "
          "them out instead. Indices are checked before anything changes.")
      .def(
          "layout",
          [](Session& self, const py::object& path, std::optional<int64_t> width, std::optional<int64_t> height,
             std::optional<std::vector<std::string>> layers) {
            self.runTyped(pp::LayoutLine(pp::PathText(path), width, height, layers));
          },
          py::arg("path"), py::arg("width") = py::none(), py::arg("height") = py::none(),
          py::arg("layers") = py::none(),
          "Draws the UV layout into an image file (.png, .jpg, .bmp, .tga) through the plug-in's Output "
          "dialog. layers lists the boxes to tick, the others cleared: 'wireframe', 'material', "
          "'object', 'shader', 'current-object', 'current-material', 'memory=1'..'memory=4'. Without "
          "width and height, or layers, the dialog keeps what it remembers. A file the plug-in cannot "
          "write raises CommandError with its message.")
      .def(
          "widgets",
          [](Session& self) {
            py::list entries;
            const std::string printed = self.core().run("print widgets", "call").printed;
            for (size_t at = 0; at < printed.size();) {
              const size_t end = std::min(printed.find('\n', at), printed.size());
              const std::string line = printed.substr(at, end - at);
              const size_t tab = line.rfind('\t');
              if (tab != std::string::npos) entries.append(py::make_tuple(line.substr(0, tab), line.substr(tab + 1)));
              at = end + 1;
            }
            return entries;
          },
          "Answers (path, kind) for every widget a path reaches now, as `print widgets` lists them: "
          "for example ('Select/group', 'button').")

      // --- NumPy --------------------------------------------------------------------
      .def("uvs", &pp::UVs, py::arg("object") = py::none(),
           "Answers a new float32 array of shape (corners, 2): the (u, v) of every live-face corner.")
      .def("faces", &pp::Faces, py::arg("object") = py::none(),
           "Answers (counts, vertices), two int32 arrays: the corner count of every face slot (0 for a "
           "deleted face), and the vertex index of every live-face corner, in the order of uvs(). "
           "numpy.repeat(numpy.arange(len(counts)), counts) gives each corner's face index.")
      .def("positions", &pp::Positions, py::arg("object") = py::none(),
           "Answers a new float32 array of shape (vertices, 3): every vertex slot's position, so the "
           "vertex indices of faces() index it.")
      .def("uv_selection", &pp::UVSelection, py::arg("object") = py::none(),
           "Answers a new bool array with one flag per live-face corner: is its UV selected.")
      .def("set_uvs", &pp::SetUVs, py::arg("uvs"), py::arg("object") = py::none(),
           "Writes every live-face corner's (u, v) from a float array of shape (corners, 2) (float64 "
           "is rounded to the host's float32). One undoable command; the plug-in's UV locks apply "
           "afterwards as after any command. A wrong shape or dtype, or a value that is not finite, "
           "raises ValueError and changes nothing.")
      .def("set_uv_selection", &pp::SetUVSelection, py::arg("mask"), py::arg("object") = py::none(),
           "Selects exactly the live-face corners whose flag is True, from a bool array of shape "
           "(corners,). One undoable command. A wrong shape or dtype raises ValueError.");
}
