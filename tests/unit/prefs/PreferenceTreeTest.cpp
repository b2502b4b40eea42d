// The preferences tree built from the registered preferences, by group.

#include "prefs/KCommonPrefeernceModel.h"
#include "prefs/KCommonPreferenceTypesList.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

const PMString kRoot("Folivox:Preferences:Root", PMString::kDontTranslateDuringCall);

struct Registration {
  const char* identifier;
  const char* group;
};

// The tree below `name` as the tree view reads it: "name(child,child)".
std::string Shape(KCommonPrefeernceModel& model, const PMString& name) {
  std::string shape;
  const std::int32_t count = model.GetChildCount(name);
  for (std::int32_t i = 0; i < count; ++i) {
    const PMString child = model.GetNthChildName(name, i);
    shape += (i ? "," : "") + child.GetUTF8String();
    if (!child.GetUTF8String().ends_with(':'))
      shape += "(" + Shape(model, child) + ")";
  }
  return shape;
}

class PreferenceTree : public testing::Test {
protected:
  void SetUp() override { std::swap(gPreferenceTypes, fTypes); }
  void TearDown() override { std::swap(gPreferenceTypes, fTypes); }

  void Register(std::initializer_list<Registration> registrations) {
    for (const Registration& r : registrations)
      gPreferenceTypes->AddPreference(PMString(r.identifier), PMString(r.identifier),
                                      PMString(r.group), 1, nullptr, nullptr);
  }

  KCommonPreferenceTypesList fList;
  KCommonPreferenceTypesList* fTypes = &fList;
  KCommonPrefeernceModel fModel{nullptr};
};

TEST_F(PreferenceTree, GroupsStartWhereTheGroupTextChanges) {
  struct Case {
    std::initializer_list<Registration> registrations;
    const char* shape;
  };
  const Case cases[] = {
      {{{"a1", "A"}, {"a2", "A"}, {"b", "B"}}, "A(a1:,a2:),B(b:)"},
      // The second A is a node of its own; the name keeps the first one's rows.
      {{{"a1", "A"}, {"b", "B"}, {"a2", "A"}}, "A(a1:),B(b:),A(a1:)"},
      {{{"a1", "A"}, {"x", ""}, {"a2", "A"}}, "A(a1:,a2:),x:"},
      {{{"FolivoHTTP", ""}}, "FolivoHTTP:"},
      {{}, ""},
  };
  for (const Case& c : cases) {
    KCommonPreferenceTypesList list;
    gPreferenceTypes = &list;
    Register(c.registrations);
    fModel.SetRoot(kRoot);
    EXPECT_EQ(Shape(fModel, kRoot), c.shape);
    gPreferenceTypes = &fList;
  }
}

TEST_F(PreferenceTree, NodesKnowTheirParentsAndLabels) {
  Register({{"a1", "A"}, {"b", "B"}, {"a2", "A"}});
  fModel.SetRoot(kRoot);
  EXPECT_EQ(fModel.GetRootName(), kRoot);
  EXPECT_EQ(fModel.GetParentName(PMString("A")), kRoot);
  EXPECT_EQ(fModel.GetParentName(PMString("a2:")).GetUTF8String(), "A");
  EXPECT_TRUE(fModel.GetParentName(kRoot).IsEmpty());
  EXPECT_TRUE(fModel.GetParentName(PMString("nowhere")).IsEmpty());
  const PnlTrvDataNode* node = fModel.GetNode(PMString("b:"));
  ASSERT_TRUE(node);
  EXPECT_EQ(node->GetKeyText().GetUTF8String(), "b:");
  EXPECT_EQ(node->GetDisplayText().GetUTF8String(), "b");
  EXPECT_EQ(node->GetType(), 1);
  EXPECT_EQ(fModel.GetChildIndex(PMString("A"), PMString("a1:")), 0);
  EXPECT_EQ(fModel.GetChildIndex(PMString("A"), PMString("b:")), -1);
  EXPECT_EQ(fModel.GetChildIndex(kRoot, PMString("B")), 1);

  fModel.SetRoot(PMString());
  EXPECT_TRUE(fModel.GetRootName().IsEmpty());
  EXPECT_FALSE(fModel.GetNode(PMString("b:")));
}

} // namespace
