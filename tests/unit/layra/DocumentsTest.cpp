// Documents through the host: files that round-trip or are refused, pages
// rendered to JPEGs that decode, and sizes read back from the JPEG header.

#include <layra/FileUtils.h>
#include <layra/IDocument.h>
#include <layra/IImageReading.h>
#include <layra/IObjectModel.h>
#include <layra/IPage.h>
#include <layra/IPageList.h>
#include <layra/SnapshotUtils.h>
#include <layra/StreamUtil.h>
#include <layra/host/Host.h>

#include <graphics/JpegCodec.h>

#include "TempDir.h"
#include "WholeFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// What reaches the disk while a test records: every flush of a file (as the path it has then)
// and every rename, in order. This program's definitions of fsync, fdatasync and rename stand
// in for the C library's, so the host's own calls come here and are passed on.
std::vector<std::string> gDiskCalls;
bool gRecordingDiskCalls = false;

void RecordFlush(int fd) {
  if (!gRecordingDiskCalls)
    return;
  std::error_code error;
  const auto path = std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd), error);
  gDiskCalls.push_back("flush " + path.string());
}

template <class Function> Function* Real(const char* name) {
  return reinterpret_cast<Function*>(::dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" int fsync(int fd) {
  RecordFlush(fd);
  static auto* real = Real<int(int)>("fsync");
  return real(fd);
}

extern "C" int fdatasync(int fd) {
  RecordFlush(fd);
  static auto* real = Real<int(int)>("fdatasync");
  return real(fd);
}

extern "C" int rename(const char* from, const char* to) noexcept {
  if (gRecordingDiskCalls) {
    gDiskCalls.push_back("rename " + std::filesystem::weakly_canonical(from).string() + " -> " +
                         std::filesystem::weakly_canonical(to).string());
  }
  static auto* real = Real<int(const char*, const char*)>("rename");
  return real(from, to);
}

namespace {

using folivox::test::ReadWholeFile;
using folivox::test::WriteWholeFile;

constexpr PMIID IID_INOTE{0x7101};

// Plug-in data on page items, streamed as a blob inside the document file.
class INote : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_INOTE;
  virtual std::int32_t Get() const = 0;
  virtual void Set(std::int32_t value) = 0;
};

class NoteImpl : public CPMUnknown<INote> {
public:
  explicit NoteImpl(IPMUnknown* boss) : CPMUnknown<INote>(boss) {}
  std::int32_t Get() const override { return fValue; }
  void Set(std::int32_t value) override { fValue = value; }
  void ReadWrite(IPMStream* stream, ImplementationID) { stream->XferInt32(fValue); }

private:
  std::int32_t fValue = 0;
};

const char* kEveryItem = R"(<?xml version="1.0"?>
<layra-document version="1">
  <story id="s">Text that flows from the first frame into the second one.</story>
  <page width="612" height="792">
    <rectangle left="100" top="100" right="300" bottom="200" fill="#ff0000"/>
    <text left="36" top="300" right="300" bottom="330" story="s" size="12"/>
    <image left="320" top="300" right="400" bottom="380" format="png">iVBORw0KGgo=</image>
  </page>
  <page width="400" height="300">
    <text left="36" top="36" right="300" bottom="200" story="s" size="12" color="#000080"/>
    <rectangle left="10" top="10" right="20" bottom="20" stroke="#00ff00" stroke-width="2"><data impl="0x7101">KgAAAA==</data></rectangle>
  </page>
</layra-document>
)";

std::string Story(const std::string& content) {
  return "<!DOCTYPE layra-document SYSTEM \"outside.dtd\"><layra-document version=\"1\">"
         "<story id=\"s\">" +
         content + "</story><page width=\"5\" height=\"5\"/></layra-document>";
}

class Documents : public testing::Test {
protected:
  void SetUp() override {
    auto& model = layra::ObjectModel::Instance();
    ASSERT_TRUE(model.RegisterImplementation(
        PluginID{9},
        ImplementationRecord{ImplementationID{0x7101}, &layra::CreateImplementation<NoteImpl>,
                             &layra::DestroyImplementation<NoteImpl>,
                             &layra::SizeOfImplementation<NoteImpl>,
                             &layra::PersistImplementation<NoteImpl>}));
    model.AddInterfaceToClass(kPageItemBoss, {IID_INOTE, ImplementationID{0x7101}}, PluginID{9});
  }

  layra::Result<UIDRef> Open(const std::string& text) {
    const auto file = fFolder.path() / "08_12_05_005-008.lyd";
    WriteWholeFile(file, text);
    return fHost->OpenDocument(file);
  }

  static UIDRef Page(const UIDRef& document, std::int32_t index) {
    InterfacePtr<IPageList> pages(static_cast<IPageList*>(document.Instantiate(IID_IPAGELIST)));
    return UIDRef(document.GetDataBase(), pages->GetNthPageUID(index));
  }

  // The text of the story that the first item of the first page shows.
  static std::string StoryText(const UIDRef& document) {
    InterfacePtr<IPage> page(static_cast<IPage*>(Page(document, 0).Instantiate(IID_IPAGE)));
    IDataBase* db = document.GetDataBase();
    InterfacePtr<IPageItem> frame(
        static_cast<IPageItem*>(db->Instantiate(page->GetItems().at(0), IID_IPAGEITEM)));
    InterfacePtr<IStory> story(
        static_cast<IStory*>(db->Instantiate(frame->GetTextRange().story, IID_ISTORY)));
    return story->GetText();
  }

  static std::vector<unsigned char> Jpeg(const UIDRef& page, double scale, double dpi,
                                         std::int32_t quality) {
    SnapshotUtils snapshot(page, scale, scale, dpi, dpi, 0, 0x1000, false, false, false, 2,
                           scale * 7 / 200, true, false);
    EXPECT_EQ(snapshot.GetStatus(), kSuccess);
    InterfacePtr<IPMStream> out(StreamUtil::CreateMemoryStreamWrite());
    EXPECT_EQ(snapshot.ExportImageToJPEG(out, kSSJPEGBaseline, quality), kSuccess);
    return StreamUtil::GetMemoryStreamBytes(out);
  }

  folivox::test::TempDir fFolder;
  std::unique_ptr<layra::Host> fHost = layra::Host::Create(layra::HostOptions{}).value();
};

TEST_F(Documents, EveryKindOfItemAndPluginDataRoundTripThroughAFile) {
  const layra::Result<UIDRef> opened = Open(kEveryItem);
  ASSERT_EQ(opened.error(), "");
  const UIDRef document = opened.value();
  PMString name;
  InterfacePtr<IDocument>(static_cast<IDocument*>(document.Instantiate(IID_IDOCUMENT)))
      ->GetName(name);
  EXPECT_EQ(name.GetUTF8String(), "08_12_05_005-008.lyd");
  const auto copy = fFolder.path() / "copy.lyd";
  ASSERT_EQ(fHost->SaveDocumentAs(document, copy).error(), "");
  const std::string once = ReadWholeFile(copy);
  const layra::Result<UIDRef> again = fHost->OpenDocument(copy);
  ASSERT_EQ(again.error(), "");
  const UIDRef reopened = again.value();
  ASSERT_TRUE(fHost->SaveDocument(reopened));
  EXPECT_EQ(ReadWholeFile(copy), once);

  InterfacePtr<IPage> second(static_cast<IPage*>(Page(reopened, 1).Instantiate(IID_IPAGE)));
  ASSERT_EQ(second->GetItems().size(), 2u);
  InterfacePtr<INote> note(
      static_cast<INote*>(reopened.GetDataBase()->Instantiate(second->GetItems()[1], IID_INOTE)));
  EXPECT_EQ(note->Get(), 42);
}

TEST_F(Documents, TextsThatLookLikeMarkupSurviveSaveAndReopenByteForByte) {
  // What a story or a name may hold once read: markup characters, the end of a CDATA
  // section, quotes, and white space that a reader would otherwise normalise.
  const std::string text = "a < b && c > d \"quoted\" 'single' ]]> <![CDATA[x]]> &amp;\r\n\tż";
  const std::string markup =
      "a &lt; b &amp;&amp; c &gt; d \"quoted\" 'single' ]]&gt; &lt;![CDATA[x]]&gt; "
      "&amp;amp;&#13;\n\tż";
  const layra::Result<UIDRef> opened =
      Open("<layra-document version=\"1\"><story id=\"s&quot;&lt;1&gt;&amp;\">" + markup +
           "</story><page width=\"200\" height=\"200\"><text left=\"0\" top=\"0\" right=\"100\" "
           "bottom=\"100\" story=\"s&quot;&lt;1&gt;&amp;\" name=\"&quot;A&quot; &lt;&amp;&gt; "
           "]]&gt;&#10;&#9;&#13;b\"/></page></layra-document>");
  ASSERT_EQ(opened.error(), "");
  ASSERT_EQ(StoryText(opened.value()), text);
  std::vector<std::string> saved;
  UIDRef document = opened.value();
  for (const char* name : {"once.lyd", "twice.lyd"}) {
    const auto file = fFolder.path() / name;
    ASSERT_EQ(fHost->SaveDocumentAs(document, file).error(), "");
    saved.push_back(ReadWholeFile(file));
    const layra::Result<UIDRef> reopened = fHost->OpenDocument(file);
    ASSERT_EQ(reopened.error(), "") << saved.back();
    document = reopened.value();
    EXPECT_EQ(StoryText(document), text);
  }
  // The names came back as they went: the second save wrote what the first one did.
  EXPECT_EQ(saved[1], saved[0]);
}

TEST_F(Documents, ASaveFlushesTheNewFileBeforeItReplacesTheOldOneAndTheFolderAfter) {
  const UIDRef document = Open(kEveryItem).value_or(UIDRef());
  ASSERT_TRUE(document.IsValid());
  const auto file = std::filesystem::canonical(fFolder.path() / "08_12_05_005-008.lyd");
  gDiskCalls.clear();
  gRecordingDiskCalls = true;
  const layra::Result<void> saved = fHost->SaveDocument(document);
  gRecordingDiskCalls = false;
  ASSERT_EQ(saved.error(), "");
  const auto renamed = std::find_if(gDiskCalls.begin(), gDiskCalls.end(), [&](const auto& call) {
    return call.starts_with("rename ") && call.ends_with(" -> " + file.string());
  });
  ASSERT_NE(renamed, gDiskCalls.end()) << testing::PrintToString(gDiskCalls);
  const std::string temporary = renamed->substr(7, renamed->find(" -> ") - 7);
  EXPECT_NE(std::find(gDiskCalls.begin(), renamed, "flush " + temporary), renamed)
      << testing::PrintToString(gDiskCalls);
  EXPECT_NE(std::find(renamed, gDiskCalls.end(), "flush " + file.parent_path().string()),
            gDiskCalls.end())
      << testing::PrintToString(gDiskCalls);
}

TEST_F(Documents, StoryFlowsThroughItsFramesInOrder) {
  const UIDRef document = Open(kEveryItem).value();
  InterfacePtr<IPage> first(static_cast<IPage*>(Page(document, 0).Instantiate(IID_IPAGE)));
  InterfacePtr<IPage> second(static_cast<IPage*>(Page(document, 1).Instantiate(IID_IPAGE)));
  InterfacePtr<IPageItem> head(static_cast<IPageItem*>(
      document.GetDataBase()->Instantiate(first->GetItems()[1], IID_IPAGEITEM)));
  InterfacePtr<IPageItem> tail(static_cast<IPageItem*>(
      document.GetDataBase()->Instantiate(second->GetItems()[0], IID_IPAGEITEM)));
  const TextRange a = head->GetTextRange();
  const TextRange b = tail->GetTextRange();
  EXPECT_GT(a.length, 0);
  EXPECT_EQ(a.start, 0);
  EXPECT_EQ(b.start, a.length);
  EXPECT_EQ(a.length + b.length,
            static_cast<std::int32_t>(
                std::string("Text that flows from the first frame into the second one.").size()));
}

TEST_F(Documents, RasterSizeFollowsScaleAndResolution) {
  const UIDRef page = Page(fHost->NewDocument(1, 612, 792), 0);
  for (double dpi : {72.0, 150.0}) {
    for (double scale : {0.5, 1.0, 2.0}) {
      SnapshotUtils snapshot(page, scale, scale, dpi, dpi, 0, 0x1000, false, false, false, 2, 0,
                             true, false);
      EXPECT_EQ(snapshot.GetWidth(), std::lround(612 * scale * dpi / 72));
      EXPECT_EQ(snapshot.GetHeight(), std::lround(792 * scale * dpi / 72));
    }
  }
  SnapshotUtils empty(page, 0, 0, 72, 72, 0, 0x1000, false, false, false, 2, 0, true, false);
  EXPECT_EQ(empty.GetStatus(), kFailure);
  // Within the limit a side, but 2 GB of raster.
  SnapshotUtils huge(page, 6.5, 6.5, 360, 360, 0, 0x1000, false, false, false, 2, 0, true, false);
  EXPECT_EQ(huge.GetStatus(), kFailure);
  EXPECT_EQ(SnapshotUtils(UIDRef(), 1, 1, 72, 72, 0, 0, false, false, false, 2, 0, true, false)
                .GetStatus(),
            kFailure);
}

TEST_F(Documents, RedBoxIsRedInTheDecodedJpegAndTheRestWhite) {
  const std::vector<unsigned char> jpeg = Jpeg(Page(Open(kEveryItem).value(), 0), 1.0, 72, 3);
  std::string error;
  auto raster = layra::graphics::DecodeJpeg(jpeg.data(), jpeg.size(), &error);
  ASSERT_TRUE(raster) << error;
  auto pixel = [&](int x, int y) {
    const unsigned char* p = raster->pixels.data() + y * raster->stride + x * 4;
    return std::array<int, 3>{p[2], p[1], p[0]};
  };
  const auto red = pixel(200, 150);
  EXPECT_GT(red[0], 220);
  EXPECT_LT(red[1], 40);
  EXPECT_LT(red[2], 40);
  for (auto [x, y] : {std::pair{50, 50}, std::pair{500, 700}}) {
    for (int channel : pixel(x, y))
      EXPECT_GT(channel, 240);
  }
}

TEST_F(Documents, HigherQualityIsLargerAndTheHeaderGivesTheRenderedSize) {
  const UIDRef page = Page(Open(kEveryItem).value(), 0);
  const auto low = Jpeg(page, 1.0, 72, 0);
  const auto best = Jpeg(page, 1.0, 72, 3);
  EXPECT_GT(best.size(), low.size());

  const auto file = fFolder.path() / "preview.jpg";
  WriteWholeFile(file, std::string(best.begin(), best.end()));
  InterfacePtr<IImageFormatManager> manager(static_cast<IImageFormatManager*>(
      CreateObject(kImageFormatManagerBoss, IID_IIMAGEFORMATMANAGER)));
  InterfacePtr<IPMStream> in(StreamUtil::CreateFileStreamRead(IDFile(file)));
  InterfacePtr<IImageReadFormat> reader(manager->QueryImageReadFormat(in));
  InterfacePtr<IImageAttributes> attributes(
      static_cast<IImageAttributes*>(CreateObject(kImageAttributesBoss, IID_IIMAGEATTRIBUTES)));
  ASSERT_TRUE(reader && reader->CanRead(in) && reader->Open(in));
  ASSERT_TRUE(reader->GetImageAttributes(attributes));
  std::int32_t width = 0, height = 0;
  attributes->GetTag(kImageWidthTag, width);
  attributes->GetTag(kImageHeightTag, height);
  EXPECT_EQ(width, 612);
  EXPECT_EQ(height, 792);

  InterfacePtr<IPMStream> text(StreamUtil::CreateMemoryStreamRead({'n', 'o', 't'}));
  InterfacePtr<IImageReadFormat> none(manager->QueryImageReadFormat(text));
  EXPECT_FALSE(none && none->Open(text));
}

TEST_F(Documents, DamagedFilesAreRefusedWithOneClearLine) {
  const std::string whole = kEveryItem;
  const struct {
    std::string text;
    std::string reason;
  } cases[] = {
      {whole.substr(0, whole.size() / 2), "08_12_05_005-008.lyd: "},
      {"<layra-document version=\"2\"><page width=\"1\" height=\"1\"/></layra-document>",
       "unsupported version '2'"},
      {"<layra-document version=\"1\"/>", "the document has no page"},
      {"<layra-document version=\"1\"><page width=\"-5\" height=\"1\"/></layra-document>",
       "page 1: width and height must be positive"},
      {"<layra-document version=\"1\"><page width=\"5\" height=\"5\"/><page width=\"0\" "
       "height=\"5\"/></layra-document>",
       "page 2: width and height must be positive"},
      {"<layra-document version=\"1\"><page width=\"5\" height=\"0\"/></layra-document>",
       "page 1: width and height must be positive"},
      {"<layra-document version=\"1\"><page width=\"5\" height=\"-0.5\"/></layra-document>",
       "page 1: width and height must be positive"},
      {"<layra-document version=\"1\"><page width=\"5\" height=\"5\"><text left=\"0\" top=\"0\" "
       "right=\"1\" bottom=\"1\" story=\"nope\"/></page></layra-document>",
       "page 1, item 1: the text frame names no existing story"},
      {"<layra-document version=\"1\"><page width=\"5\" height=\"5\"><circle left=\"0\" "
       "top=\"0\" right=\"1\" bottom=\"1\"/></page></layra-document>",
       "page 1, item 1: unknown item <circle>"},
      {"<!DOCTYPE d [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><layra-document version=\"1\">"
       "<story id=\"s\">&x;</story></layra-document>",
       "entity"},
      {Story("Hello <b>bold</b> world"), "story 's': element <b> is not allowed"},
      {Story("Hello &ext; world"), "story 's': entity &ext; is not defined"},
      {Story("<?keep this?>"), "story 's': <?keep?> is not allowed"},
      {"<layra-document version=\"1\"><page width=\"5\" height=\"5\"><image left=\"0\" "
       "top=\"0\" right=\"1\" bottom=\"1\" format=\"png\">iVBO<i/>Rw0KGgo=</image></page>"
       "</layra-document>",
       "page 1, item 1: element <i> is not allowed"},
      // A PNG header that declares 11585 x 11585 pixels.
      {"<layra-document version=\"1\"><page width=\"5\" height=\"5\"><image left=\"0\" "
       "top=\"0\" right=\"1\" bottom=\"1\" format=\"png\">iVBORw0KGgoAAAANSUhEUgAALUEAAC1B"
       "CAIAAAA=</image></page></layra-document>",
       "page 1, item 1: the picture declares 11585 x 11585 pixels"},
      {"<!DOCTYPE d [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
       "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]><layra-document "
       "version=\"1\">&c;</layra-document>",
       "entity"},
  };
  for (const auto& c : cases) {
    const std::string error = Open(c.text).error();
    EXPECT_NE(error, "") << c.text;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_EQ(ReadWholeFile(fFolder.path() / "08_12_05_005-008.lyd"), c.text);
  }
  EXPECT_EQ(fHost->OpenDocument(fFolder.path()).error(), fFolder.path().string() + " is a folder");
}

std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(Documents, AnInterruptedSaveLeavesAWholeFileAndItsTemporaryGoesAtTheNextOpen) {
  // No plug-in data: the writer's host knows none of this test's implementations.
  ASSERT_TRUE(Open(Story("Text that the writer saves again and again.")));
  const auto file = fFolder.path() / "08_12_05_005-008.lyd";
  int saved[2];
  ASSERT_EQ(::pipe(saved), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, saved[1], STDOUT_FILENO);
  std::string program = SAVE_FOREVER;
  std::string document = file.string();
  char* arguments[] = {program.data(), document.data(), nullptr};
  pid_t writer = 0;
  const int spawned =
      ::posix_spawn(&writer, program.c_str(), &actions, nullptr, arguments, environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(saved[1]);
  ASSERT_EQ(spawned, 0);
  // One save has finished, so the kill lands among saves.
  char done = 0;
  EXPECT_EQ(::read(saved[0], &done, 1), 1);
  ::kill(writer, SIGKILL);
  ::waitpid(writer, nullptr, 0);
  ::close(saved[0]);
  EXPECT_EQ(fHost->OpenDocument(file).error(), "");
  EXPECT_EQ(FilesIn(fFolder.path()), std::vector<std::string>{file.filename().string()});
}

TEST_F(Documents, OpeningRemovesOnlyAbandonedTemporariesOfThatDocument) {
  const auto file = fFolder.path() / "doc.lyd";
  WriteWholeFile(file, kEveryItem);
  // Files of the user's that merely look like a temporary of some writer, and temporaries
  // that are not this document's or not abandoned.
  std::vector<std::string> kept = {".doc.lyd.layra-tmp-Fifo00",
                                   ".doc.lyd.layra-tmp-Fold00",
                                   ".doc.lyd.layra-tmp-Link00",
                                   ".doc.lyd.layra-tmp-Live00",
                                   ".other.lyd.layra-tmp-a1B2c3",
                                   "doc.lyd.backup",
                                   "doc.lyd.layra-tmp-a1B2c3",
                                   "doc.lyd.orig01",
                                   "layout.config",
                                   "notes.backup",
                                   "workspace.lydb.before"};
  for (const std::string& name : kept)
    WriteWholeFile(fFolder.path() / name, "the user's own");
  // Only root can give a file away; another user's file is never ours.
  if (::geteuid() == 0) {
    const auto foreign = fFolder.path() / ".doc.lyd.layra-tmp-Other0";
    WriteWholeFile(foreign, "someone else's");
    ASSERT_EQ(::chown(foreign.c_str(), 65534, 65534), 0);
    kept.push_back(foreign.filename().string());
  }
  kept.push_back("doc.lyd");
  std::sort(kept.begin(), kept.end());
  std::filesystem::remove(fFolder.path() / ".doc.lyd.layra-tmp-Link00");
  std::filesystem::create_symlink("doc.lyd.backup", fFolder.path() / ".doc.lyd.layra-tmp-Link00");
  std::filesystem::remove(fFolder.path() / ".doc.lyd.layra-tmp-Fold00");
  std::filesystem::create_directory(fFolder.path() / ".doc.lyd.layra-tmp-Fold00");
  std::filesystem::remove(fFolder.path() / ".doc.lyd.layra-tmp-Fifo00");
  ASSERT_EQ(::mkfifo((fFolder.path() / ".doc.lyd.layra-tmp-Fifo00").c_str(), 0600), 0);
  WriteWholeFile(fFolder.path() / ".doc.lyd.layra-tmp-a1B2c3", "partial");
  const int live = ::open((fFolder.path() / ".doc.lyd.layra-tmp-Live00").c_str(), O_RDONLY);
  ASSERT_EQ(::flock(live, LOCK_EX), 0);
  ASSERT_EQ(fHost->OpenDocument(file).error(), "");
  ::close(live);
  EXPECT_EQ(FilesIn(fFolder.path()), kept);
  EXPECT_EQ(ReadWholeFile(fFolder.path() / "doc.lyd.orig01"), "the user's own");
}

} // namespace
