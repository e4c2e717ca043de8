#include "plugin/output/image_file.h"

namespace pavlex {

OutputResult ImageNotCreated(int32_t width, int32_t height) {
  OutputResult result{OutputStatus::kImageNotCreated, std::string()};
  if (width < 1 || height < 1) {
    result.reason = "the picture has no pixels (width or height 0)";
  } else if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4u > kMaxLayoutImageBytes) {
    result.reason = "the picture is too large (at most 1 GiB of pixels)";
  } else {
    result.reason = "there is not enough memory for the picture";
  }
  return result;
}

OutputResult WriteImageFile(const LayoutImage& image, const std::string& path, const platform::FileProducer& encode) {
  // An invalid image keeps no size, so the reason cannot name one.
  if (!image.valid()) return {OutputStatus::kImageNotCreated, "the picture could not be made"};
  platform::FileFailure failure;
  if (platform::WriteFileAtomically(path, encode, &failure)) return {};
  // An encoder gives up without a system error only when the picture
  // itself could not be coded; a refused write carries the system's cause.
  const std::string reason =
      failure.problem == platform::FileProblem::kNotProduced ? "the picture could not be encoded" : failure.Reason();
  return {OutputStatus::kFileNotWritten, reason};
}

}  // namespace pavlex
