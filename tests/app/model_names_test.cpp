#include "app/model_names.h"

#include <gtest/gtest.h>

#include "host/obj/file_identity.h"

namespace pavlex::app {
namespace {

std::string Expand(const std::string& pattern, const std::string& model) {
  std::string out, error;
  EXPECT_TRUE(ExpandNamePattern(pattern, SplitModelName(model), &out, &error)) << error;
  return out;
}

TEST(ModelNames, SplitsFolderStemAndLastExtension) {
  const ModelNameParts parts = SplitModelName("art/chair.v2.obj");
  EXPECT_EQ(parts.dir, "art");
  EXPECT_EQ(parts.stem, "chair.v2");
  EXPECT_EQ(parts.ext, "obj");
  EXPECT_EQ(SplitModelName("chair.obj").dir, ".");
  EXPECT_EQ(SplitModelName("a//b.obj").dir, "a");
  EXPECT_EQ(SplitModelName("/b.obj").dir, "/");
  // A leading dot is a hidden file's name, not an extension.
  EXPECT_EQ(SplitModelName("art/.hidden").stem, ".hidden");
  EXPECT_EQ(SplitModelName("art/.hidden").ext, "");
  EXPECT_EQ(SplitModelName("art/plain").ext, "");
  EXPECT_EQ(SplitModelName("").stem, "sample");
}

TEST(ModelNames, ExpandsPlaceholdersAndEscapedBraces) {
  EXPECT_EQ(Expand("{dir}/uv/{stem}.{ext}", "art/chair.obj"), "art/uv/chair.obj");
  EXPECT_EQ(Expand("out/{stem}-{stem}.obj", "chair.obj"), "out/chair-chair.obj");
  EXPECT_EQ(Expand("{{x}}/{stem}.obj", "chair.obj"), "{x}/chair.obj");
  EXPECT_EQ(Expand("plain.obj", "chair.obj"), "plain.obj");
  EXPECT_TRUE(HasPlaceholder("out/{stem}.obj"));
  EXPECT_FALSE(HasPlaceholder("out/{{stem}}.obj"));
  EXPECT_TRUE(HasPlaceholder("out/{nope}.obj")) << "refused later, but not a plain name";

  std::string out, error;
  EXPECT_FALSE(ExpandNamePattern("out/{name}.obj", SplitModelName("a.obj"), &out, &error));
  EXPECT_NE(error.find("unknown placeholder {name}"), std::string::npos) << error;
  EXPECT_FALSE(ExpandNamePattern("out/{stem.obj", SplitModelName("a.obj"), &out, &error));
  EXPECT_NE(error.find("without its '}'"), std::string::npos) << error;
}

std::vector<PlannedFile> Plan(const std::vector<std::string>& models, const std::string& pattern) {
  std::vector<PlannedFile> files;
  for (size_t m = 0; m < models.size(); ++m) files.push_back({m, models[m], true});
  for (size_t m = 0; m < models.size(); ++m) files.push_back({m, Expand(pattern, models[m]), false});
  return files;
}

std::optional<std::string> Clash(const std::vector<std::string>& models, const std::string& pattern) {
  return FindNameClash(Plan(models, pattern), models, [](const std::string& name) { return host::obj::FileKey(name); });
}

TEST(ModelNames, TwoModelsWritingOneFileClash) {
  EXPECT_FALSE(Clash({"a/m.obj", "b/n.obj"}, "out/{stem}.obj"));
  EXPECT_FALSE(Clash({"a/m.obj", "b/m.obj"}, "{dir}/{stem}-uv.obj"));
  // Each model saved over itself is one file per model.
  EXPECT_FALSE(Clash({"a/m.obj", "a/n.obj"}, "{dir}/{stem}.{ext}"));

  std::optional<std::string> clash = Clash({"a/m.obj", "b/m.obj"}, "out/{stem}.obj");
  ASSERT_TRUE(clash);
  EXPECT_EQ(*clash, "'a/m.obj' and 'b/m.obj' would both write 'out/m.obj'");
  // Different spellings of one file are one file.
  clash = Clash({"a/m.obj", "a/./sub/../m.OBJ"}, "out/{stem}.obj");
  ASSERT_TRUE(clash);
}

TEST(ModelNames, WritingOverAnotherModelClashes) {
  // "a.obj" saved as "x/a.obj" while the run of the model "x/a.obj" reads it.
  const std::vector<std::string> models = {"x/a.obj", "a.obj"};
  std::vector<PlannedFile> files = Plan(models, "x/{stem}.obj");
  const std::optional<std::string> over =
      FindNameClash(files, models, [](const std::string& name) { return host::obj::FileKey(name); });
  ASSERT_TRUE(over);
  EXPECT_EQ(*over, "'x/a.obj' of 'a.obj' would overwrite the model 'x/a.obj' while another run reads it");
}

}  // namespace
}  // namespace pavlex::app
