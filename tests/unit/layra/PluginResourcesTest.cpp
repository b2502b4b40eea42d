// A plug-in's resources are read by the host's one XML reader, so what it refuses elsewhere (an
// entity declaration) is refused here too, with the one line the loader reports.

#include <layra/host/PluginResources.h>

#include <gtest/gtest.h>

namespace {

struct ResourceCase {
  const char* name;
  const char* xml;
  bool parses;
  friend void PrintTo(const ResourceCase& file, std::ostream* out) { *out << file.name; }
};

class ResourceFiles : public testing::TestWithParam<ResourceCase> {};

TEST_P(ResourceFiles, ParseOrReportTheFile) {
  const layra::Result<layra::PluginResources> parsed =
      layra::ParseResources({{"a.xml", GetParam().xml}});
  EXPECT_EQ(parsed.ok(), GetParam().parses) << parsed.error();
  if (parsed)
    EXPECT_EQ(parsed.value().name, "probe");
  else
    EXPECT_EQ(parsed.error(), "resource file a.xml is not a resources document");
}

INSTANTIATE_TEST_SUITE_P(
    Reader, ResourceFiles,
    testing::Values(
        ResourceCase{"Plain", R"(<?xml version="1.0"?><resources plugin="0x100" name="probe"/>)",
                     true},
        ResourceCase{"CommentBeforeTheRoot",
                     R"(<!-- x --><resources plugin="0x100" name="probe"><x/></resources>)", true},
        ResourceCase{"EntityDeclaration",
                     R"(<!DOCTYPE resources [<!ENTITY n "probe">]>)"
                     R"(<resources plugin="0x100" name="&n;"/>)",
                     false},
        ResourceCase{"OtherRoot", R"(<other plugin="0x100" name="probe"/>)", false},
        ResourceCase{"NotXml", "resources", false}),
    [](const testing::TestParamInfo<ResourceCase>& info) { return std::string(info.param.name); });

} // namespace
