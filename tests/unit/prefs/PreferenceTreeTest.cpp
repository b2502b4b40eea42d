// The preferences tree built from the registered preferences, by group, and what the page
// around it tells the user when it cannot be built.

#include "PreferenceHost.h"
#include "TempHome.h"
#include "base/FolivoxIDs.h"
#include "prefs/KCommonPrefeernceModel.h"
#include "prefs/KCommonPreferenceTypesList.h"
#include "prefs/PreferencePanelIDs.h"

#include <layra/CAlert.h>
#include <layra/CDialogController.h>
#include <layra/IControlView.h>
#include <layra/IObjectModel.h>
#include <layra/IObserver.h>
#include <layra/ISubject.h>
#include <layra/ITreeViewMgr.h>

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

// A page without its panel and a tree without its controller: the page's controller and its
// tree's observer, each on a boss of its own, report it as errors.
TEST(PreferencePage, ReportsWhatItCannotReachWithErrorAlerts) {
  folivox::test::TempHome home;
  folivox::test::PreferenceHost host(home.configDir() / "layra");
  ASSERT_EQ(folivox::test::RegisterFromPluginTable(
                {kCommonPreferenceDialogControllerImpl, kCommonPreferencesNodeObserverImpl}),
            2);
  auto& model = layra::ObjectModel::Instance();
  const ClassID lonePage{0x122590}, loneObserver{0x122591};
  model.AddClass({lonePage,
                  kInvalidClass,
                  "lonePage",
                  kFolivoPluginID,
                  {{IID_IDIALOGCONTROLLER, kCommonPreferenceDialogControllerImpl}}});
  model.AddClass({loneObserver,
                  kInvalidClass,
                  "loneObserver",
                  kFolivoPluginID,
                  {{IID_IOBSERVER, kCommonPreferencesNodeObserverImpl}}});
  layra::Alerts::Instance().ClearLog();

  InterfacePtr<IDialogController> page(
      static_cast<IDialogController*>(CreateObject(lonePage, IID_IDIALOGCONTROLLER)));
  ASSERT_TRUE(page);
  page->InitializeDialogFields(nullptr);
  InterfacePtr<IObserver> observer(
      static_cast<IObserver*>(CreateObject(loneObserver, IID_IOBSERVER)));
  InterfacePtr<IControlView> tree(
      static_cast<IControlView*>(CreateObject(kStaticTextWidgetBoss, IID_ICONTROLVIEW)));
  ASSERT_TRUE(observer && tree);
  tree->SetWidgetID(kCommonPreferencesTreeViewWidgetID);
  observer->Update(kListSelectionChangedMessage, InterfacePtr<ISubject>(tree, UseDefaultIID()),
                   IID_ITREEVIEWCONTROLLER, nullptr);

  const auto& shown = layra::Alerts::Instance().Log();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].message,
            "BrindleActionComponent:doImportFile( ) => iPanelControlData == NULL.");
  EXPECT_EQ(shown[1].message, "Blad");
  for (const layra::AlertRecord& alert : shown) {
    EXPECT_EQ(alert.buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(alert.icon, kErrorIcon) << alert.message;
  }
}

} // namespace
