// Putting a picture on the system clipboard. One implementation per
// platform sits beside this interface.
#pragma once

#include <cstdint>
#include <string>

namespace pavlex::platform {

// Places `pixels` (width * height 32-bit ARGB, rows from the top) on the
// clipboard as an opaque picture: composed over black, so transparent areas
// paste as black and the alpha channel is gone. Answers true when the
// clipboard took it; "ok" then goes to the debug trace. Failures leave the
// clipboard as it was and are silent to the user; `reason` (may be null)
// receives why, e.g. "no display" or "xclip not found".
//
// Windows: a device-dependent bitmap (CF_BITMAP), which every program that
// pastes pictures reads; GDI+ does the composition; the trace is
// OutputDebugString, which a debugger attached to the host shows.
//
// Linux: an image/png, given to `wl-copy` when WAYLAND_DISPLAY is set, else
// to `xclip` when DISPLAY is set. The tool runs in its own session (it
// forks a background owner of the clipboard, which must outlive us and our
// process group), reads the bytes from a pipe, writes nowhere, and is
// waited for at most a few seconds. Each channel becomes
// (channel * alpha + 127) / 255.
bool CopyPictureToClipboard(const uint32_t* pixels, int32_t width, int32_t height, std::string* reason);

// Writes `text` and a newline to stderr when PAVLEX_DEBUG is set in the
// environment; does nothing otherwise.
void DebugTrace(const std::string& text);

}  // namespace pavlex::platform
