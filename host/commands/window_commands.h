// What a front end with a desktop window offers the command language:
// `screenshot`, `view` (the UV view and the 3D view), `texture`, `stretch`
// and `print geometry|point`. The pavlex command in
// batch mode has none, and those commands then fail with "needs the window
// (--gui)". Every call happens on the window's thread, between frames.
#pragma once

#include <string>

namespace pavlex::commands {

struct WindowRect {
  int x = 0;  // window pixels from the top-left corner
  int y = 0;
  int width = 0;
  int height = 0;
};

class WindowCommands {
 public:
  virtual ~WindowCommands() = default;
  // Writes the whole window as it is shown now to a PNG file; false with a
  // one-line reason.
  virtual bool screenshot(const std::string& path, std::string* error) = 0;
  // The rectangle of a widget path or a pane name ("uv-view", "console",
  // "objects"); false with a one-line reason when nothing shown has it.
  virtual bool geometry(const std::string& path, WindowRect* rect, std::string* error) = 0;
  // The window pixel where the UV view shows (u, v).
  virtual void pointOf(double u, double v, int* x, int* y) = 0;
  // Frames the selected UVs (or everything when none is selected, or `all`).
  virtual void viewFrame(bool all) = 0;
  // Pixels per UV unit divided by the view's height in pixels: 1 shows the
  // unit square as high as the view. Keeps the centre.
  virtual void viewZoom(double zoom) = 0;
  // What the views show under the UV layout: "checker", "image" (the
  // current material's texture image; the checker, with a message naming
  // the file, when it cannot be shown) or "off".
  virtual void showTexture(const std::string& mode) = 0;
  // Colours the faces by how far their UVs depart from their shape.
  virtual void showStretch(bool on) = 0;

  // --- the 3D view ---
  // Frames the current object's model selection (or every visible object).
  virtual void modelFrame(bool all) = 0;
  virtual void modelProjection(bool orthographic) = 0;
  // Degrees: yaw about the up axis (0 looks along -z), pitch above the
  // horizon (kept within -89..89).
  virtual void modelOrbit(double yaw, double pitch) = 0;
  // From the point looked at to the eye, in model units (> 0).
  virtual void modelDistance(double distance) = 0;
  // The point looked at.
  virtual void modelTarget(double x, double y, double z) = 0;
  // What the mouse selects in the 3D view: "vertex", "line" or "face".
  virtual void modelMode(const std::string& mode) = 0;
  // The window pixel where the 3D view shows the model point (x, y, z);
  // false with a reason when it lies behind the eye.
  virtual bool modelPointOf(double x, double y, double z, int* px, int* py, std::string* error) = 0;
};

}  // namespace pavlex::commands
