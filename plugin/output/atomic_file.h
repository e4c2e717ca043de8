// Files replaced all at once: a writer fills a temporary file in the
// destination's folder, which is renamed over the destination only when
// every byte was written and flushed. A failed or partial write leaves the
// previous file (or no file) where it was, never a damaged one.
#pragma once

#include <functional>
#include <string>

#include "platform/byte_sink.h"

namespace pavlex {

// `write` fills the sink and answers whether it succeeded. `path` is in the
// system's narrow encoding. Answers true when the file now holds exactly
// what `write` produced.
bool WriteFileAtomically(const std::string& path, const std::function<bool(platform::ByteSink&)>& write);

}  // namespace pavlex
