// Advertisement attributes on the page items of a real document, through the real
// Folivox.so: the command, the helper, the suites over layout and text selections, saving
// and reopening, and a steps file run by the layra program.

#include "CapturedOutput.h"
#include "TempHome.h"
#include "advert/IAdvertisementAttributes.h"
#include "advert/IAdvertisementAttributesSuite.h"
#include "advert/QUORAdvertisementHelper.h"

#include <layra/CmdUtils.h>
#include <layra/ErrorUtils.h>
#include <layra/IObserver.h>
#include <layra/IPage.h>
#include <layra/IPageList.h>
#include <layra/ISelectionManager.h>
#include <layra/ISubject.h>
#include <layra/ITextModel.h>
#include <layra/host/Host.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;
using folivox::test::CapturedOutput;
using folivox::test::ReadWholeFile;
using folivox::test::TempHome;

std::string OwnLines(CapturedOutput& output) {
  return folivox::test::WithoutUpdateCheckLines(output.Take());
}

const char* const kCommandLines = "QUORAdvertisementAttrCommand::Init\n"
                                  "QUORPreferenceCommand::CreateName( ); \n"
                                  "QUORPreferenceCommand::Do( ); \n"
                                  "QUORPreferenceCommand::SetBPIData( ); \n"
                                  "Everything is ok!\n"
                                  "QUORPreferenceCommand::DoNotify( ); \n";

template <class T> InterfacePtr<T> At(const UIDRef& ref) {
  return InterfacePtr<T>(static_cast<T*>(ref.Instantiate(T::kDefaultIID)));
}

// Counts the changes a page item's subject sends about advertisement attributes.
class Listener final : public IObserver {
public:
  IPMUnknown* QueryInterface(PMIID iid) const override {
    return iid == IID_IOBSERVER || iid == IID_IUNKNOWN ? const_cast<Listener*>(this) : nullptr;
  }
  void AddRef() const override {}
  void Release() const override {}
  void AutoAttach() override {}
  void AutoDetach() override {}
  void Update(const ClassID& change, ISubject*, const PMIID&, void*) override {
    changes += change == ClassID{0x122510};
  }
  int changes = 0;
};

class Advert : public testing::Test {
protected:
  void SetUp() override {
    fs::copy_file(fs::path(SAMPLES_DIR) / "advert.lyd", fFile);
    fHost = layra::Host::Create(layra::HostOptions{fHome.configDir() / "layra",
                                                   {FOLIVOX_PLUGIN_DIR},
                                                   1,
                                                   layra::AlertAnswer::First})
                .value();
    CapturedOutput startup;
    fHost->Start();
    Open();
  }

  void Open() {
    const layra::Result<UIDRef> opened = fHost->OpenDocument(fFile);
    ASSERT_EQ(opened.error(), "");
    fDoc = opened.value();
    IDataBase* db = fDoc.GetDataBase();
    fPage = At<IPageList>(fDoc)->GetNthPageUID(0);
    const std::vector<UID> items = At<IPage>(UIDRef(db, fPage))->GetItems();
    ASSERT_EQ(items.size(), 3u);
    fBox = items[0], fFirst = items[1], fSecond = items[2];
    fStory = At<IPageItem>(Ref(fFirst))->GetTextRange().story;
  }

  void Reopen() {
    ASSERT_EQ(fHost->SaveDocument(fDoc).error(), "");
    fHost->CloseDocument(fDoc);
    Open();
  }

  UIDRef Ref(UID uid) const { return UIDRef(fDoc.GetDataBase(), uid); }
  UIDList List(std::initializer_list<UID> uids) const {
    UIDList list(fDoc.GetDataBase());
    for (UID uid : uids)
      list.Append(uid);
    return list;
  }
  std::string Text(UID item) const {
    return At<IAdvertisementAttributes>(Ref(item))->GetAttributeText().GetUTF8String();
  }
  InterfacePtr<IAdvertisementAttributesSuite> Suite() const {
    return InterfacePtr<IAdvertisementAttributesSuite>(static_cast<IAdvertisementAttributesSuite*>(
        GetActiveSelection()->QueryIntegratorSuite(IID_IADVERTISEMENTATTRIBUTESSUITE)));
  }
  void SelectItems(std::initializer_list<UID> uids) const {
    ASSERT_TRUE(GetActiveSelection()->SelectPageItems(List(uids)));
  }

  TempHome fHome;
  fs::path fFile = fHome.path() / "advert.lyd";
  std::unique_ptr<layra::Host> fHost;
  UIDRef fDoc;
  UID fPage = kInvalidUID, fBox = kInvalidUID, fFirst = kInvalidUID, fSecond = kInvalidUID,
      fStory = kInvalidUID;
};

TEST_F(Advert, CommandSetsTheItemsThatCarryAttributesAndUndoRestoresThem) {
  // The first item hears of the change, and so does the document, once each.
  Listener listener, document;
  InterfacePtr<ISubject> subject = At<ISubject>(Ref(fFirst));
  subject->AttachObserver(&listener, IID_IADVERTISEMENTATTRIBUTES);
  InterfacePtr<ISubject> whole = At<ISubject>(fDoc);
  whole->AttachObserver(&document, IID_IADVERTISEMENTATTRIBUTES);
  CapturedOutput output;
  // The page in the middle has no attributes: it is skipped.
  EXPECT_EQ(QUORAdvertisementHelper().ApplyAttributeText(List({fFirst, fPage, fSecond}),
                                                         PMString("Sale")),
            kSuccess);
  EXPECT_EQ(OwnLines(output), kCommandLines);
  EXPECT_EQ(Text(fFirst), "Sale");
  EXPECT_EQ(Text(fSecond), "Sale");
  EXPECT_EQ(Text(fBox), "");
  EXPECT_EQ(listener.changes, 1);
  EXPECT_EQ(document.changes, 1);

  ASSERT_TRUE(CmdUtils::UndoLast(fDoc.GetDataBase()));
  EXPECT_EQ(Text(fFirst), "");
  EXPECT_EQ(Text(fSecond), "");
  EXPECT_EQ(listener.changes, 2); // the change is told again on undo
  EXPECT_EQ(document.changes, 2);
  ASSERT_TRUE(CmdUtils::RedoLast(fDoc.GetDataBase()));
  EXPECT_EQ(Text(fSecond), "Sale");
  subject->DetachObserver(&listener, IID_IADVERTISEMENTATTRIBUTES);
  whole->DetachObserver(&document, IID_IADVERTISEMENTATTRIBUTES);
}

TEST_F(Advert, UndoAndRedoBringBackTextAndValuesExactly) {
  QUORAdvertisementHelper helper;
  auto set = [&](const char* key, const char* value) {
    helper.SetValues(List({fFirst}), PMString(key), PMString(value));
  };
  auto state = [this] {
    InterfacePtr<IAdvertisementAttributes> attributes = At<IAdvertisementAttributes>(Ref(fFirst));
    std::string shown = attributes->GetAttributeText().GetUTF8String();
    for (const char* key : {"client", "size"}) {
      const PMString* value = attributes->GetValue(PMString(key));
      shown += std::string(" ") + key + "=" + (value ? value->GetUTF8String() : "-");
    }
    return shown;
  };
  CapturedOutput quiet;
  // Undoing and redoing the text leaves the values set directly around it as they are.
  ASSERT_EQ(helper.ApplyAttributeText(List({fFirst}), PMString("Sale")), kSuccess);
  set("client", "A");
  ASSERT_TRUE(CmdUtils::UndoLast(fDoc.GetDataBase()));
  EXPECT_EQ(state(), " client=A size=-");
  set("size", "1/2");
  ASSERT_TRUE(CmdUtils::RedoLast(fDoc.GetDataBase()));
  EXPECT_EQ(state(), "Sale client=A size=1/2");
  ASSERT_TRUE(CmdUtils::UndoLast(fDoc.GetDataBase()));
  EXPECT_FALSE(CmdUtils::CanUndo(fDoc.GetDataBase())); // values set directly are no step
  EXPECT_EQ(state(), " client=A size=1/2");

  // Values set inside the sequence are part of the one undoable step.
  ICommandSequence* sequence = CmdUtils::BeginCommandSequence();
  ASSERT_EQ(helper.ApplyAttributeText(List({fFirst}), PMString("Sale")), kSuccess);
  set("client", "B");
  set("size", "1/4");
  CmdUtils::EndCommandSequence(sequence);
  EXPECT_EQ(state(), "Sale client=B size=1/4");
  ASSERT_TRUE(CmdUtils::UndoLast(fDoc.GetDataBase()));
  EXPECT_EQ(state(), " client=A size=1/2");
  ASSERT_TRUE(CmdUtils::RedoLast(fDoc.GetDataBase()));
  EXPECT_EQ(state(), "Sale client=B size=1/4");
  ASSERT_TRUE(CmdUtils::UndoLast(fDoc.GetDataBase()));
  EXPECT_EQ(state(), " client=A size=1/2");
}

TEST_F(Advert, AnEmptyListFailsAndChangesNothing) {
  CapturedOutput output;
  EXPECT_EQ(QUORAdvertisementHelper().ApplyAttributeText(List({}), PMString("Sale")), kFailure);
  InterfacePtr<ICommand> command(CmdUtils::CreateCommand(ClassID{0x12250a}));
  EXPECT_EQ(CmdUtils::ProcessCommand(command), kFailure);
  EXPECT_EQ(OwnLines(output), "QUORAdvertisementAttrCommand::Init\n"
                              "QUORPreferenceCommand::CreateName( ); \n"
                              "QUORPreferenceCommand::Do( ); \n");
  EXPECT_FALSE(CmdUtils::CanUndo(fDoc.GetDataBase()));
}

TEST_F(Advert, ValuesCollectOnceEachInOrderAndSurviveReopening) {
  QUORAdvertisementHelper helper;
  const char* values[] = {"A", "B", "A"};
  UID items[] = {fBox, fFirst, fSecond};
  for (int i = 0; i < 3; ++i)
    helper.SetValues(List({items[i]}), PMString("client"), PMString(values[i]));
  EXPECT_FALSE(CmdUtils::CanUndo(fDoc.GetDataBase())); // values are set directly
  CapturedOutput quiet;
  helper.ApplyAttributeText(List({fFirst}), PMString("Sale"));
  Reopen();

  K2Vector<PMString> collected{PMString("B")};
  helper.CollectValues(List({fBox, fPage, fFirst, fSecond}), PMString("client"), collected);
  ASSERT_EQ(collected.size(), 2u);
  EXPECT_EQ(collected[0].GetUTF8String(), "B");
  EXPECT_EQ(collected[1].GetUTF8String(), "A");
  EXPECT_EQ(Text(fFirst), "Sale");
  EXPECT_EQ(Text(fSecond), "");
}

TEST_F(Advert, AnItemNeverGivenAttributesStoresMarkerOneEmptyTextAndNoValues) {
  Reopen();
  // 1, then an empty text (length 0), then a count of 0, each 32 bits little-endian.
  EXPECT_NE(ReadWholeFile(fFile).find("name=\"box\" fill=\"#ff0000\"><data "
                                      "impl=\"0x122511\">AQAAAAAAAAAAAAAA</data>"),
            std::string::npos);
}

TEST_F(Advert, DataOfAPluginThatIsNotLoadedSurviveASave) {
  const std::string unknown = "<data impl=\"0x977777\">AQID</data>";
  std::string text = ReadWholeFile(fFile);
  text.replace(text.find("fill=\"#ff0000\"/>"), 16, "fill=\"#ff0000\">" + unknown + "</rectangle>");
  fHost->CloseDocument(fDoc);
  ASSERT_TRUE(folivox::test::WriteWholeFile(fFile, text));
  Open();
  Reopen();
  EXPECT_NE(ReadWholeFile(fFile).find(unknown), std::string::npos);
}

TEST_F(Advert, LayoutSuiteActsOnTheSelectedItems) {
  SelectItems({fFirst, fSecond});
  InterfacePtr<IAdvertisementAttributesSuite> suite = Suite();
  ASSERT_TRUE(suite);
  EXPECT_TRUE(suite->CanApplyAttributes());
  EXPECT_TRUE(suite->CanGetAttributes());
  CapturedOutput quiet;
  EXPECT_EQ(suite->ApplyAttributeText(PMString("Sale")), kSuccess);
  quiet.Take();
  EXPECT_EQ(Text(fFirst), "Sale");
  EXPECT_EQ(Text(fBox), "");
  // One command sequence: one undo step takes the whole apply back.
  ASSERT_TRUE(CmdUtils::UndoLast(fDoc.GetDataBase()));
  EXPECT_FALSE(CmdUtils::CanUndo(fDoc.GetDataBase()));

  PMString key("client"), value("ACME");
  suite->SetAttributeValue(key, value);
  K2Vector<PMString> values;
  suite->GetAttributeValues(key, values);
  ASSERT_EQ(values.size(), 1u);
  UIDList targets;
  suite->GetTargetItemList(&targets);
  EXPECT_EQ(targets.Length(), 2);
  int32 start = 7, end = 7;
  EXPECT_FALSE(suite->GetTextSelection(&start, &end));
  EXPECT_EQ(start, 7);
}

TEST_F(Advert, AnEmptySelectionAnswersNoAndLeavesTheCallersDataAlone) {
  InterfacePtr<IAdvertisementAttributesSuite> suite = Suite();
  EXPECT_FALSE(suite->CanApplyAttributes());
  EXPECT_EQ(suite->ApplyAttributeText(PMString("Sale")), kFailure);
  SelectItems({fFirst});
  PMString key("absent");
  K2Vector<PMString> values{PMString("kept")};
  suite->GetAttributeValues(key, values);
  EXPECT_EQ(values.size(), 1u);
  // An item deleted after it was selected is filtered out of the layout target.
  fDoc.GetDataBase()->DeleteUID(fFirst);
  UIDList kept = List({fBox});
  suite->GetTargetItemList(&kept);
  EXPECT_EQ(kept.Length(), 1);
  EXPECT_EQ(kept.At(0), fBox);
  EXPECT_EQ(suite->ApplyAttributeText(PMString("Sale")), kFailure);
  // With no document there is no selection at all: a failure too.
  fHost->CloseDocument(fDoc);
  EXPECT_EQ(Suite()->ApplyAttributeText(PMString("Sale")), kFailure);
  EXPECT_EQ(ErrorUtils::PMGetGlobalErrorCode(), kFailure);
}

TEST_F(Advert, TextSelectionTargetsTheFramesThatShowIt) {
  InterfacePtr<ITextModel> model = At<ITextModel>(Ref(fStory));
  InterfacePtr<IParcelList> parcels(model->QueryParcelList(0));
  ASSERT_TRUE(parcels);
  ASSERT_EQ(parcels->GetParcelCount(), 2);
  const std::int32_t second = parcels->GetParcelStart(1);
  ASSERT_GT(second, 0);
  struct Case {
    std::int32_t start, end;
    std::vector<UID> items;
  } cases[] = {{0, 1, {fFirst}},
               {0, second, {fFirst, fSecond}},
               {second - 1, -1, {fFirst, fSecond}},
               {second, second + 1, {fSecond}}};
  InterfacePtr<IAdvertisementAttributesSuite> suite = Suite();
  for (const Case& c : cases) {
    ASSERT_TRUE(GetActiveSelection()->SelectText(Ref(fStory), c.start, c.end));
    UIDList targets;
    suite->GetTargetItemList(&targets);
    std::vector<UID> got;
    for (std::int32_t i = 0; i < targets.Length(); ++i)
      got.push_back(targets.At(i));
    EXPECT_EQ(got, c.items) << c.start << ".." << c.end;
    int32 start = 0, end = 0;
    EXPECT_TRUE(suite->GetTextSelection(&start, &end));
    EXPECT_EQ(start, c.start);
    EXPECT_EQ(end, c.end);
  }
  EXPECT_FALSE(GetActiveSelection()->SelectText(Ref(fStory), 0, model->TotalLength() + 1));
  CapturedOutput output;
  EXPECT_FALSE(suite->GetTextSelection(nullptr, nullptr));
  EXPECT_EQ(OwnLines(output),
            "QUORAdvertisementCBS::GetTextSelection: param0 or param1 is NULL.\n");
}

TEST(AdvertSteps, SelectApplySaveReopenAndReadBack) {
  TempHome home;
  const fs::path plugins = home.path() / "plugins";
  fs::create_directory(plugins);
  fs::create_symlink(fs::path(FOLIVOX_PLUGIN_DIR) / "Folivox.so", plugins / "Folivox.so");
  fs::create_symlink(fs::path(CALLER_PLUGIN_DIR) / "AdvertCaller.so", plugins / "AdvertCaller.so");
  fs::copy_file(fs::path(SAMPLES_DIR) / "advert.lyd", home.path() / "advert.lyd");
  const fs::path out = home.path() / "out.txt";
  const std::string command =
      std::string(LAYRA_PROGRAM) + " --home " + (home.path() / "layra").string() + " --plugins " +
      plugins.string() + " --answer first --steps " + SAMPLES_DIR + "/advert.steps " +
      (home.path() / "advert.lyd").string() + " </dev/null >" + out.string() + " 2>/dev/null";
  // No configuration address is stored, so start-up raises its error alert: status 3.
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status)) << ReadWholeFile(out);
  ASSERT_EQ(WEXITSTATUS(status), 3) << ReadWholeFile(out);
  const std::string shown = ReadWholeFile(out);
  EXPECT_NE(shown.find("5: \"Sale -20%\"\n6: \"Sale -20%\"\nACME\n"), std::string::npos) << shown;
}

} // namespace
