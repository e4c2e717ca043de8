// JPEG through libjpeg-turbo. The library reports fatal errors through a
// callback that must not return, so the decoder jumps back to one
// setjmp; everything that owns memory is created before it, and nothing
// with a destructor is created between it and the library calls.
#include <csetjmp>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

#include "gui/texture/image_readers.h"
#include "gui/texture/image_size.h"

namespace pavlex::gui::texture {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  bool truncated = false;
  char message[JMSG_LENGTH_MAX] = {};
};

[[noreturn]] void OnError(j_common_ptr info) {
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, errors->message);
  std::longjmp(errors->jump, 1);
}

// Warnings are kept quiet, except that data ending early is a damaged
// file: the library would fill the rest with grey and call it done.
void OnMessage(j_common_ptr info, int level) {
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) errors->truncated = true;
}

}  // namespace

bool DecodeJpeg(std::string_view bytes, RgbaImage* out, std::string* reason) {
  jpeg_decompress_struct info{};
  ErrorManager errors;
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnError;
  errors.base.emit_message = OnMessage;
  *out = RgbaImage();
  std::string sizeProblem;
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_decompress(&info);
    *out = RgbaImage();
    *reason = std::string("damaged JPEG: ") + errors.message;
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  if (errors.truncated) {
    jpeg_destroy_decompress(&info);
    return Refuse(out, reason, "truncated JPEG");
  }
  if (!StartImage(info.image_width, info.image_height, out, &sizeProblem)) {
    jpeg_destroy_decompress(&info);
    *reason = sizeProblem;
    return false;
  }
  info.out_color_space = JCS_EXT_RGBA;
  jpeg_start_decompress(&info);
  const size_t stride = static_cast<size_t>(out->width) * 4;
  while (info.output_scanline < info.output_height && !errors.truncated) {
    JSAMPROW row = out->pixels.data() + static_cast<size_t>(info.output_scanline) * stride;
    jpeg_read_scanlines(&info, &row, 1);
  }
  const bool truncated = errors.truncated;
  if (!truncated) jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  if (truncated || errors.truncated) return Refuse(out, reason, "truncated JPEG");
  return true;
}

}  // namespace pavlex::gui::texture
