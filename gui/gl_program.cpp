#include "gui/gl_program.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

namespace pavlex::gui {
namespace {

GLuint Compile(GLenum type, const char* source) {
  const GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  return shader;
}

}  // namespace

unsigned LinkProgram(const char* vertexSource, const char* fragmentSource,
                     std::initializer_list<const char*> attributes) {
  const GLuint program = glCreateProgram();
  const GLuint vs = Compile(GL_VERTEX_SHADER, vertexSource), fs = Compile(GL_FRAGMENT_SHADER, fragmentSource);
  glAttachShader(program, vs);
  glAttachShader(program, fs);
  GLuint location = 0;
  for (const char* name : attributes) glBindAttribLocation(program, location++, name);
  glLinkProgram(program);
  glDeleteShader(vs);
  glDeleteShader(fs);
  return program;
}

}  // namespace pavlex::gui
