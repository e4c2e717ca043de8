// Putting a picture on the system clipboard. One implementation per
// platform sits beside this interface.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pavlex::platform {

// Offers `png` (a complete PNG stream) on the clipboard as image/png.
// Answers true when the clipboard took it. Failures change nothing and are
// silent to the user; `reason` (may be null) receives why, e.g. "no
// display" or "xclip not found".
//
// Linux: `wl-copy` when WAYLAND_DISPLAY is set, else `xclip` when DISPLAY
// is set. The tool runs in its own session (it forks a background owner of
// the clipboard, which must outlive us and our process group), reads the
// bytes from a pipe, writes nowhere, and is waited for at most a few
// seconds.
bool CopyPngToClipboard(const std::vector<uint8_t>& png, std::string* reason);

// Writes `text` and a newline to stderr when PAVLEX_DEBUG is set in the
// environment; does nothing otherwise.
void DebugTrace(const std::string& text);

}  // namespace pavlex::platform
