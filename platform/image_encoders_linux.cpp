// libpng and libjpeg-turbo behind the platform's image encoder interface.
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

#include "platform/image_encoders.h"

namespace pavlex::platform {

namespace {

struct PngContext {
  ByteSink* sink;
  bool ok;
};

void PngWrite(png_structp png, png_bytep data, png_size_t size) {
  auto* context = static_cast<PngContext*>(png_get_io_ptr(png));
  if (context->ok && !context->sink->Write(data, size)) context->ok = false;
}

void PngFlush(png_structp) {}

// libpng reports errors by longjmp; nothing with a destructor may live in
// the frame that calls setjmp, so the rows are prepared by the caller.
bool WritePngRows(png_structp png, png_infop info, int32_t width, int32_t height, bool alpha,
                  png_bytep* rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // Layouts are long runs of one colour: without row filters and at level
  // 1 deflate spends its time on those runs, which it finds cheaply; filters
  // would halve the file and triple the time.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_compression_level(png, 1);
  png_set_compression_strategy(png, Z_DEFAULT_STRATEGY);
  png_write_info(png, info);
  png_set_bgr(png);
  if (!alpha) png_set_filler(png, 0, PNG_FILLER_AFTER);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

bool EncodePngImpl(const uint32_t* pixels, int32_t width, int32_t height, ByteSink& sink, bool alpha) {
  if (!pixels || width < 1 || height < 1) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  PngContext context = {&sink, true};
  png_set_write_fn(png, &context, PngWrite, PngFlush);
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  for (size_t y = 0; y < rows.size(); ++y) {
    // libpng takes non-const rows but only reads them when writing.
    rows[y] = reinterpret_cast<png_bytep>(const_cast<uint32_t*>(pixels + y * static_cast<size_t>(width)));
  }
  const bool written = WritePngRows(png, info, width, height, alpha, rows.data());
  png_destroy_write_struct(&png, &info);
  return written && context.ok;
}

struct JpegDestination {
  jpeg_destination_mgr manager;  // first member: libjpeg casts back to it
  ByteSink* sink;
  bool ok;
  unsigned char buffer[1 << 16];
};

void JpegInit(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<JpegDestination*>(cinfo->dest);
  dest->manager.next_output_byte = dest->buffer;
  dest->manager.free_in_buffer = sizeof(dest->buffer);
}

boolean JpegEmpty(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<JpegDestination*>(cinfo->dest);
  if (dest->ok && !dest->sink->Write(dest->buffer, sizeof(dest->buffer))) dest->ok = false;
  dest->manager.next_output_byte = dest->buffer;
  dest->manager.free_in_buffer = sizeof(dest->buffer);
  return TRUE;
}

void JpegTerm(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<JpegDestination*>(cinfo->dest);
  const size_t used = sizeof(dest->buffer) - dest->manager.free_in_buffer;
  if (dest->ok && used > 0 && !dest->sink->Write(dest->buffer, used)) dest->ok = false;
}

struct JpegError {
  jpeg_error_mgr manager;  // first member, as above
  std::jmp_buf jump;
};

void JpegFail(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
}

void JpegSilent(j_common_ptr) {}

bool WriteJpegRows(jpeg_compress_struct& cinfo, JpegError& error, const uint32_t* pixels, int32_t width,
                   int32_t height, JpegDestination* dest) {
  if (setjmp(error.jump)) return false;
  jpeg_create_compress(&cinfo);
  cinfo.dest = &dest->manager;
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_EXT_BGRX;
  // The encoder's own defaults, quality included: the output asks the
  // platform encoder for a JPEG and sets no parameters of its own.
  jpeg_set_defaults(&cinfo);
  cinfo.dct_method = JDCT_ISLOW;
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = reinterpret_cast<JSAMPROW>(
        const_cast<uint32_t*>(pixels + static_cast<size_t>(cinfo.next_scanline) * static_cast<size_t>(width)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  return true;
}

}  // namespace

bool EncodePng(const uint32_t* pixels, int32_t width, int32_t height, ByteSink& sink) {
  return EncodePngImpl(pixels, width, height, sink, true);
}

bool EncodePngOpaque(const uint32_t* pixels, int32_t width, int32_t height, ByteSink& sink) {
  return EncodePngImpl(pixels, width, height, sink, false);
}

bool EncodeJpeg(const uint32_t* pixels, int32_t width, int32_t height, ByteSink& sink) {
  if (!pixels || width < 1 || height < 1 || width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION) {
    return false;
  }
  jpeg_compress_struct cinfo = {};
  JpegError error = {};
  cinfo.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = JpegFail;
  error.manager.output_message = JpegSilent;
  auto holder = std::make_unique<JpegDestination>();
  JpegDestination* dest = holder.get();
  dest->manager.init_destination = JpegInit;
  dest->manager.empty_output_buffer = JpegEmpty;
  dest->manager.term_destination = JpegTerm;
  dest->sink = &sink;
  dest->ok = true;
  const bool written = WriteJpegRows(cinfo, error, pixels, width, height, dest);
  jpeg_destroy_compress(&cinfo);
  return written && dest->ok;
}

}  // namespace pavlex::platform
