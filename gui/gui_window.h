// The desktop window of `pavlex --gui`: the UV view, the objects and
// materials, the plug-in's windows drawn from the host's retained widget
// tree, the console and the menus.
//
// Everything a person does becomes a command line of the host command
// language. The window is the interpreter's command source: next() runs
// frames (waiting for events, never spinning) until a line is ready, so a
// plug-in waiting inside a modal request (a dialog, a message box, a
// save-file dialog) is answered by frames nested inside that request, and
// scripted lines reach it through the same loop. Lines from the mouse and
// keyboard are echoed to the console and appended to the record file.
#pragma once

#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gui/stretch/face_stretch.h"
#include "gui/texture/rgba_image.h"
#include "gui/model_view.h"
#include "gui/uv_view.h"
#include "host/commands/command_interpreter.h"
#include "host/commands/command_script.h"
#include "host/commands/window_commands.h"
#include "host/session/modal_driver.h"

struct GLFWwindow;

namespace pavlex::gui {

struct GuiConfig {
  int width = 960;
  int height = 640;
  std::string recordPath;  // empty: no record
  bool saveOnExit = false;  // -o: no unsaved-changes prompt at exit
};

class GuiWindow : public commands::CommandSource, public commands::WindowCommands, public host::ModalDriver {
 public:
  GuiWindow(host::HostSession& session, GuiConfig config);
  ~GuiWindow() override;
  GuiWindow(const GuiWindow&) = delete;
  GuiWindow& operator=(const GuiWindow&) = delete;

  // Opens the window; false with a one-line reason (no display, no OpenGL).
  bool open(std::string* error);
  // The interpreter that runs the lines; set before the first next().
  void setInterpreter(commands::CommandInterpreter* interpreter) { interpreter_ = interpreter; }
  // Lines to run first, as if typed into the console (-c, -s).
  void queueScript(std::vector<commands::ScriptLine> lines);
  // Text for the console (print output, messages).
  void appendConsole(std::string_view text);
  // After each command: redraw the view, remember unsaved changes.
  void commandRan(const commands::ScriptLine& line, bool ok);

  // CommandSource
  bool next(commands::ScriptLine* out) override;
  bool interactive() const override { return true; }

  // WindowCommands
  bool screenshot(const std::string& path, std::string* error) override;
  bool geometry(const std::string& path, commands::WindowRect* rect, std::string* error) override;
  void pointOf(double u, double v, int* x, int* y) override;
  void viewFrame(bool all) override;
  void viewZoom(double zoom) override;
  void showTexture(const std::string& mode) override;
  void showStretch(bool on) override;
  void modelFrame(bool all) override;
  void modelProjection(bool orthographic) override;
  void modelOrbit(double yaw, double pitch) override;
  void modelDistance(double distance) override;
  void modelTarget(double x, double y, double z) override;
  void modelMode(const std::string& mode) override;
  bool modelPointOf(double x, double y, double z, int* px, int* py, std::string* error) override;

  // ModalDriver: the interpreter answers from the lines; the window shows
  // what waits for them.
  void runModal(host::HostSession& session, int32_t dialog) override;
  int32_t messageBox(host::HostSession& session, const host::MessageBoxRequest& box) override;
  bool saveFile(host::HostSession& session, host::SaveFileRequest& request) override;

  // Frames drawn so far (for the benchmark).
  long framesDrawn() const { return frames_; }
  // Draws one frame now (for the benchmark).
  void drawFrameNow() { frame(); }
  UvView& uvView() { return uvView_; }
  ModelView& modelView() { return modelView_; }

  // What the views paint over the current object, kept here so every view
  // shows the same:
  // - the picture under the UVs (the checker or the material's image),
  //   RGBA8 with row 0 at the top (v = 1); empty while the texture is off;
  const texture::RgbaImage& texture() const { return texture_; }
  // - the stretch colours, 4 bytes (r, g, b, a) per face of the current
  //   object, indexed by its face index (faceCount() entries, deleted faces
  //   with alpha 0); empty while the stretch display is off. Both are
  //   brought up to date after every command.
  const std::vector<uint8_t>& stretchColours() const { return stretchColours_; }

 private:
  struct Overlay;
  struct PaneRects;

  // Draws and presents one frame; with `capture`, the frame's pixels
  // (bottom row first, BGRA) are read back before it is presented.
  void frame(std::vector<uint32_t>* capture = nullptr, int* captureWidth = nullptr, int* captureHeight = nullptr);
  void drawMenus();
  void drawObjectsPane();
  void drawUvPane();
  // The 3D view's mouse: camera drags, picks and boxes, and its toolbar.
  void drawModelPane();
  // The selection commands of a click or a box in the 3D view.
  void selectInModel(bool dragged, float x, float y, bool add, bool remove);
  void drawConsolePane();
  void drawPluginWindows(bool inputAllowed);
  void drawPluginWindow(int32_t window, bool inputAllowed);
  void drawOverlay(Overlay& overlay);
  void handleKeys();
  // Sleeps until the next event, after the frames the last one needs.
  void waitForEvents();
  // A line from a person: run next, echoed and recorded.
  void act(const std::string& text);
  void pushOverlay(std::unique_ptr<Overlay> overlay);
  // Removes it when it is still there (closing may have cleared it).
  void removeOverlay(const Overlay* overlay);
  bool modalActive() const;
  // What closing the window does now.
  void requestClose();
  std::string pathOf(int32_t widget) const;
  // " ctrl", " shift" or nothing: the keys the click held.
  std::string clickKeys() const;
  void openChooser(int purpose, const std::string& title);
  // Brings texture() and stretchColours() up to the document.
  void refreshTexture();
  void refreshStretch();
  // Says a texture problem in the console and on stderr.
  void textureNotice(const std::string& text);
  // Inside the UV view's ImGui window.
  void drawStretchLegend();

  host::HostSession& session_;
  GuiConfig config_;
  commands::CommandInterpreter* interpreter_ = nullptr;
  GLFWwindow* window_ = nullptr;
  bool imguiReady_ = false;
  UvView uvView_;
  ModelView modelView_;
  long frames_ = 0;
  int settleFrames_ = 0;
  float dockWidth_ = 0;  // the right column the plug-in's window docks in
  std::vector<std::pair<int, int>> keyPresses_;  // GLFW key and modifiers, since the last frame

  std::deque<commands::ScriptLine> pending_;
  std::vector<std::unique_ptr<Overlay>> overlays_;  // innermost last
  std::vector<std::string> console_;
  std::string consolePartial_;
  std::vector<std::string> history_;
  int historyPosition_ = -1;
  char consoleInput_[1024] = {};
  bool focusConsole_ = false;
  bool scrollConsole_ = false;
  std::FILE* record_ = nullptr;
  int actionLine_ = 0;
  bool modified_ = false;
  bool closing_ = false;  // the window ends once no modal run is open
  bool finished_ = false;
  bool exitAfterSave_ = false;    // the unsaved-changes prompt's Save ends the program once it worked
  bool exitAfterSaveAs_ = false;  // the same, through the Save As chooser

  // Geometry of what was drawn last: widget ids and pane names.
  std::map<int32_t, commands::WindowRect> widgetRects_;
  std::map<std::string, commands::WindowRect> paneRects_;
  std::map<int32_t, std::string> editTexts_;  // spin boxes and edits being typed into
  std::map<int32_t, std::pair<float, float>> windowPositions_;

  // The texture and the stretch display.
  enum class TextureMode { kOff, kChecker, kImage };
  TextureMode textureMode_ = TextureMode::kOff;
  texture::RgbaImage texture_;
  std::string textureSource_;  // what texture_ holds: "checker", or the file and its size and time
  bool stretchOn_ = false;
  std::vector<uint8_t> stretchColours_;
  std::vector<stretch::FaceStretch> stretchScratch_;

  // UV view mouse state.
  bool boxActive_ = false;
  float boxStartX_ = 0, boxStartY_ = 0;
  bool pressCtrl_ = false, pressShift_ = false;
  bool boxShift_ = false, boxCtrl_ = false, boxAlt_ = false;

  // 3D view mouse state. A camera drag is said once, on release, as the
  // command that puts the camera where the drag left it; wheel steps once
  // the wheel has rested.
  bool modelBoxActive_ = false;
  float modelBoxStartX_ = 0, modelBoxStartY_ = 0;
  bool modelBoxShift_ = false, modelBoxCtrl_ = false;
  bool orbiting_ = false, panningModel_ = false;
  double wheelMovedAt_ = -1;  // -1: no wheel step waits to be said
};

}  // namespace pavlex::gui
