#include "plugin/output/output_layout_image.h"

#include <cwctype>

#include "platform/image_encoders.h"
#include "platform/imaging_session.h"
#include "platform/text_conversion.h"
#include "platform/wait_cursor.h"
#include "plugin/output/bmp_writer.h"
#include "plugin/output/clipboard_output.h"
#include "plugin/output/image_file.h"
#include "plugin/output/layout_image.h"
#include "plugin/output/render_layout.h"
#include "plugin/output/tga_writer.h"

namespace pavlex {

OutputDestination DestinationFromFileName(const std::u16string& fileName) {
  const size_t dot = fileName.find_last_of(u'.');
  if (dot == std::u16string::npos) return OutputDestination::kNone;
  std::u16string extension;
  for (size_t i = dot + 1; i < fileName.size(); ++i) {
    extension.push_back(static_cast<char16_t>(std::towlower(static_cast<wint_t>(fileName[i]))));
  }
  if (extension == u"bmp") return OutputDestination::kBmp;
  if (extension == u"jpg" || extension == u"jpeg") return OutputDestination::kJpeg;
  if (extension == u"png") return OutputDestination::kPng;
  if (extension == u"tga") return OutputDestination::kTga;
  return OutputDestination::kNone;
}

OutputResult OutputLayoutImage(PluginState& state, MQDocument document, int32_t width, int32_t height,
                      const std::u16string& fileName, OutputFlags flags, MemoryMask memoryMask) {
  const platform::WaitCursor waitCursor;
  OutputDestination destination = OutputDestination::kClipboard;
  if (!(flags & (kOutputColorToClipboard | kOutputAlphaToClipboard))) {
    state.output.width = width;
    state.output.height = height;
    state.output.flags = flags;
    state.output.fileName = fileName;
    destination = DestinationFromFileName(fileName);
  }
  // One start-up of the imaging library for the whole output; the image,
  // the encoders and the clipboard nest their own inside it. Without it
  // nothing is drawn or written.
  const platform::ImagingSession imaging;
  if (!imaging.started()) return {OutputStatus::kImagingUnavailable, "the system's imaging library did not start"};
  return RenderAndWrite(state, document, width, height, fileName, flags, memoryMask, destination);
}

OutputResult RenderAndWrite(const PluginState& state, MQDocument document, int32_t width, int32_t height,
                    const std::u16string& fileName, OutputFlags flags, MemoryMask memoryMask,
                    OutputDestination destination) {
  LayoutImage image(width, height);
  RenderLayout(state, document, image, width, height, flags, memoryMask);
  if (!image.valid()) return ImageNotCreated(width, height);
  // File names travel as UTF-8, which reaches every name on both systems.
  const std::string path = platform::Utf16ToUtf8(fileName);
  const auto encodeInto = [&](bool (*encode)(const uint32_t*, int32_t, int32_t, platform::ByteSink&)) {
    return WriteImageFile(image, path, [&](platform::ByteSink& sink) {
      return encode(image.pixels(), image.width(), image.height(), sink);
    });
  };
  switch (destination) {
    case OutputDestination::kBmp:
      return WriteBMP(image, path);
    case OutputDestination::kTga:
      return WriteTGA(image, path);
    case OutputDestination::kPng:
      return encodeInto(&platform::EncodePng);
    case OutputDestination::kJpeg:
      return encodeInto(&platform::EncodeJpeg);
    case OutputDestination::kClipboard:
      if (CopyImageToClipboard(image)) return {};
      return {OutputStatus::kClipboardRefused, "the clipboard could not be reached"};
    case OutputDestination::kNone:
      break;
  }
  return {OutputStatus::kNoDestination, std::string()};
}

}  // namespace pavlex
