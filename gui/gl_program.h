// Shader programs for the window's views. The GL functions are the
// context's: call only with the window's context current.
#pragma once

#include <initializer_list>

namespace pavlex::gui {

// A program linked from one vertex and one fragment source, its vertex
// attributes bound to locations 0, 1, ... in the order named. The shaders
// are released once linked.
unsigned LinkProgram(const char* vertexSource, const char* fragmentSource,
                     std::initializer_list<const char*> attributes);

}  // namespace pavlex::gui
