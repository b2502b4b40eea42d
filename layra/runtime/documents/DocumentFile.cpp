#include "DocumentFile.h"

#include "../storage/AtomicFile.h"
#include "../storage/Base64.h"
#include "Documents.h"

#include <graphics/ImageDecoder.h>
#include <graphics/PageRenderer.h>
#include <layra/XMLUtils.h>
#include <xml/XmlDocument.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>

namespace layra {
namespace {

constexpr const char* kVersion = "1";
constexpr double kLargestPage = 15000;

class Reader {
public:
  explicit Reader(DataBase& db) : fDB(db) {}

  bool Read(const xml::XmlNode& root, std::string& error) {
    if (root.name() != "layra-document")
      return Fail(error, "not a layra document (root element <" + root.name() + ">)");
    if (root.attribute("version") != kVersion)
      return Fail(error, "unsupported version '" + root.attribute("version").value_or("") + "'");
    for (const xml::XmlNode& child : root.children()) {
      if (child.isElement() && child.name() == "story" && !ReadStory(child, error))
        return false;
    }
    std::int32_t pageNumber = 0;
    for (const xml::XmlNode& child : root.children()) {
      if (!child.isElement() || child.name() == "story")
        continue;
      if (child.name() != "page")
        return Fail(error, "unexpected element <" + child.name() + ">");
      if (!ReadPage(child, ++pageNumber, error))
        return false;
    }
    if (pageNumber == 0)
      return Fail(error, "the document has no page");
    return true;
  }

private:
  static bool Fail(std::string& error, std::string reason) {
    error = std::move(reason);
    return false;
  }

  // The text of an element that holds only text (and, for items, their plug-in data). Anything
  // else in it is refused by name: a writer that kept only the text around it would lose it on
  // the next save.
  static bool PlainText(const xml::XmlNode& node, const std::string& where, std::string& text,
                        std::string& error, std::string_view besides = {}) {
    for (const xml::XmlNode& child : node.children()) {
      if (child.isText())
        text += child.value();
      else if (child.isElement() && child.name() == besides)
        continue;
      else if (child.isElement())
        return Fail(error, where + ": element <" + child.name() + "> is not allowed in plain text");
      else if (child.isEntityReference())
        return Fail(error,
                    where + ": entity &" + child.name() + "; is not defined in the document");
      else if (!child.isComment())
        return Fail(error, where + ": <?" + child.name() + "?> is not allowed in plain text");
    }
    return true;
  }

  static std::optional<double> Number(const xml::XmlNode& node, const char* name) {
    const std::optional<std::string> text = node.attribute(name);
    if (!text)
      return std::nullopt;
    double value = 0;
    auto [end, status] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (status != std::errc() || end != text->data() + text->size() || !std::isfinite(value))
      return std::nullopt;
    return value;
  }

  static std::optional<ItemColor> Color(const xml::XmlNode& node, const char* name) {
    const std::optional<std::string> text = node.attribute(name);
    unsigned value = 0;
    if (!text || text->size() != 7 || (*text)[0] != '#')
      return std::nullopt;
    auto [end, status] = std::from_chars(text->data() + 1, text->data() + 7, value, 16);
    if (status != std::errc() || end != text->data() + 7)
      return std::nullopt;
    return ItemColor{((value >> 16) & 0xFF) / 255.0, ((value >> 8) & 0xFF) / 255.0,
                     (value & 0xFF) / 255.0};
  }

  bool ReadStory(const xml::XmlNode& node, std::string& error) {
    const std::string id = node.attribute("id").value_or("");
    if (id.empty() || fStories.count(id))
      return Fail(error, "a story without a unique id");
    const UID uid = fDB.NewUID(kStoryBoss);
    StoryImpl* story = ImplOf<StoryImpl, IStory>(fDB, uid);
    story->name = id;
    fStories[id] = uid;
    return PlainText(node, "story '" + id + "'", story->text, error);
  }

  bool ReadPage(const xml::XmlNode& node, std::int32_t number, std::string& error) {
    const std::string where = "page " + std::to_string(number);
    const auto width = Number(node, "width");
    const auto height = Number(node, "height");
    if (!width || !height || *width <= 0 || *height <= 0 || *width > kLargestPage ||
        *height > kLargestPage)
      return Fail(error, where + ": width and height must be positive numbers of points");
    const UID page = fDB.NewUID(kPageBoss);
    ImplOf<PageImpl, IPage>(fDB, page)->SetSize(*width, *height);
    ImplOf<PageListImpl, IPageList>(fDB, fDB.GetRootUID())->Append(page);
    std::int32_t itemNumber = 0;
    for (const xml::XmlNode& child : node.children()) {
      if (!child.isElement())
        continue;
      const std::string itemWhere = where + ", item " + std::to_string(++itemNumber);
      const UID item = fDB.NewUID(kPageItemBoss);
      ImplOf<PageImpl, IPage>(fDB, page)->AddItem(item);
      if (!ReadItem(child, item, itemWhere, error))
        return false;
    }
    return true;
  }

  bool ReadItem(const xml::XmlNode& node, UID uid, const std::string& where, std::string& error) {
    PageItemImpl* item = ImplOf<PageItemImpl, IPageItem>(fDB, uid);
    const auto left = Number(node, "left");
    const auto top = Number(node, "top");
    const auto right = Number(node, "right");
    const auto bottom = Number(node, "bottom");
    if (!left || !top || !right || !bottom || *right < *left || *bottom < *top)
      return Fail(error, where + ": bounds need left <= right and top <= bottom");
    item->bounds = PMRect{*left, *top, *right, *bottom};
    item->name = node.attribute("name").value_or("");
    item->fill = Color(node, "fill");
    item->stroke = Color(node, "stroke");
    item->strokeWidth = Number(node, "stroke-width").value_or(1);
    return ReadKind(node, *item, uid, where, error) && ReadPluginData(node, uid, where, error);
  }

  bool ReadKind(const xml::XmlNode& node, PageItemImpl& item, UID uid, const std::string& where,
                std::string& error) {
    const std::string kind = node.name();
    if (kind == "rectangle") {
      item.kind = PageItemKind::kRectangle;
      return true;
    }
    if (kind == "text")
      return ReadText(node, item, uid, where, error);
    if (kind == "image")
      return ReadImage(node, item, where, error);
    return Fail(error, where + ": unknown item <" + kind + ">");
  }

  bool ReadText(const xml::XmlNode& node, PageItemImpl& item, UID uid, const std::string& where,
                std::string& error) {
    item.kind = PageItemKind::kText;
    auto story = fStories.find(node.attribute("story").value_or(""));
    if (story == fStories.end())
      return Fail(error, where + ": the text frame names no existing story");
    item.range.story = story->second;
    item.fontSize = Number(node, "size").value_or(12);
    if (item.fontSize <= 0 || item.fontSize > 1000)
      return Fail(error, where + ": text size must be between 0 and 1000 points");
    item.textColor = Color(node, "color").value_or(ItemColor{});
    ImplOf<StoryImpl, IStory>(fDB, story->second)->frames.push_back(uid);
    return true;
  }

  bool ReadImage(const xml::XmlNode& node, PageItemImpl& item, const std::string& where,
                 std::string& error) {
    item.kind = PageItemKind::kImage;
    item.imageFormat = node.attribute("format").value_or("");
    if (item.imageFormat != "png" && item.imageFormat != "jpeg")
      return Fail(error, where + ": image format must be png or jpeg");
    std::string text;
    if (!PlainText(node, where, text, error, "data"))
      return false;
    auto bytes = DecodeBase64(text);
    if (!bytes)
      return Fail(error, where + ": the image is not valid base64");
    const std::optional<graphics::ImageSize> declared = graphics::ReadImageSize(*bytes);
    if (declared && !graphics::IsAffordablePicture(*declared))
      return Fail(error, where + ": " + graphics::DescribeUnaffordablePicture(*declared));
    item.image = std::make_shared<const std::vector<unsigned char>>(std::move(*bytes));
    return true;
  }

  bool ReadPluginData(const xml::XmlNode& node, UID uid, const std::string& where,
                      std::string& error) {
    StoredObject stored{uid, kPageItemBoss, {}};
    for (const xml::XmlNode& child : node.children()) {
      if (!child.isElement() || child.name() != "data")
        continue;
      std::string text;
      if (!PlainText(child, where, text, error))
        return false;
      auto bytes = DecodeBase64(text);
      const std::uint32_t id = static_cast<std::uint32_t>(
          std::strtoul(child.attribute("impl").value_or("0").c_str(), nullptr, 0));
      if (!bytes || id == 0)
        return Fail(error, where + ": plug-in data need an impl ID and base64 content");
      stored.data[ImplementationID{id}] = std::move(*bytes);
    }
    if (stored.data.empty())
      return true;
    if (const Result<void> imported = fDB.Import({stored}); !imported)
      return Fail(error, where + ": " + imported.error());
    return true;
  }

  DataBase& fDB;
  std::map<std::string, UID> fStories;
};

void FlowStories(DataBase& db) {
  graphics::PageRenderer renderer;
  for (UID uid : db.UIDs()) {
    if (db.GetClass(uid) != kStoryBoss)
      continue;
    StoryImpl* story = ImplOf<StoryImpl, IStory>(db, uid);
    std::size_t start = 0;
    for (UID frame : story->frames) {
      PageItemImpl* item = ImplOf<PageItemImpl, IPageItem>(db, frame);
      const std::string_view rest = std::string_view(story->text).substr(start);
      const std::size_t fits = renderer.FitText(rest, "DejaVu Sans", item->fontSize,
                                                item->bounds.Width(), item->bounds.Height());
      item->range.start = static_cast<std::int32_t>(start);
      item->range.length = static_cast<std::int32_t>(fits);
      start += fits;
    }
  }
}

std::string Hex(const ItemColor& color) {
  char text[8];
  auto channel = [](double v) {
    return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
  };
  std::snprintf(text, sizeof text, "#%02x%02x%02x", channel(color.r), channel(color.g),
                channel(color.b));
  return text;
}

std::string Num(double value) {
  char text[32];
  auto [end, status] = std::to_chars(text, text + sizeof text, value);
  return std::string(text, end);
}

class Writer {
public:
  explicit Writer(const DataBase& db) : fDB(db) {
    for (const StoredObject& object : db.Export())
      fPluginData[object.uid] = object.data;
  }

  std::string Write() {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<layra-document version=\"1\">\n";
    for (UID uid : fDB.UIDs()) {
      if (fDB.GetClass(uid) != kStoryBoss)
        continue;
      StoryImpl* story = ImplOf<StoryImpl, IStory>(fDB, uid);
      out += "  <story id=\"" + XMLUtils::EscapeAttribute(story->name) + "\">" +
             XMLUtils::EscapeText(story->text) + "</story>\n";
    }
    InterfacePtr<IPageList> pages(
        static_cast<IPageList*>(fDB.Instantiate(fDB.GetRootUID(), IID_IPAGELIST)));
    for (std::int32_t i = 0; i < pages->GetPageCount(); ++i)
      WritePage(pages->GetNthPageUID(i), out);
    out += "</layra-document>\n";
    return out;
  }

private:
  void WritePage(UID uid, std::string& out) {
    PageImpl* page = ImplOf<PageImpl, IPage>(fDB, uid);
    out += "  <page width=\"" + Num(page->GetWidth()) + "\" height=\"" + Num(page->GetHeight()) +
           "\">\n";
    for (UID item : page->GetItems())
      WriteItem(item, out);
    out += "  </page>\n";
  }

  void WriteItem(UID uid, std::string& out) {
    const PageItemImpl* item = ImplOf<PageItemImpl, IPageItem>(fDB, uid);
    const char* tag = item->kind == PageItemKind::kText    ? "text"
                      : item->kind == PageItemKind::kImage ? "image"
                                                           : "rectangle";
    out += std::string("    <") + tag + " left=\"" + Num(item->bounds.left) + "\" top=\"" +
           Num(item->bounds.top) + "\" right=\"" + Num(item->bounds.right) + "\" bottom=\"" +
           Num(item->bounds.bottom) + "\"";
    if (!item->name.empty())
      out += " name=\"" + XMLUtils::EscapeAttribute(item->name) + "\"";
    if (item->fill)
      out += " fill=\"" + Hex(*item->fill) + "\"";
    if (item->stroke)
      out +=
          " stroke=\"" + Hex(*item->stroke) + "\" stroke-width=\"" + Num(item->strokeWidth) + "\"";
    if (item->kind == PageItemKind::kText) {
      out += " story=\"" +
             XMLUtils::EscapeAttribute(ImplOf<StoryImpl, IStory>(fDB, item->range.story)->name) +
             "\" size=\"" + Num(item->fontSize) + "\" color=\"" + Hex(item->textColor) + "\"";
    }
    if (item->kind == PageItemKind::kImage)
      out += " format=\"" + item->imageFormat + "\"";
    out += ">";
    if (item->kind == PageItemKind::kImage)
      out += item->image ? EncodeBase64(*item->image) : std::string();
    for (const auto& [implementation, bytes] : fPluginData[uid]) {
      char id[16];
      std::snprintf(id, sizeof id, "0x%x", implementation.Get());
      out += std::string("<data impl=\"") + id + "\">" + EncodeBase64(bytes) + "</data>";
    }
    out += std::string("</") + tag + ">\n";
  }

  const DataBase& fDB;
  std::map<UID, std::map<ImplementationID, std::vector<unsigned char>>> fPluginData;
};

} // namespace

std::unique_ptr<DataBase> NewDocumentDataBase(std::int32_t pages, double width, double height) {
  auto db = std::make_unique<DataBase>();
  db->SetRootUID(db->NewUID(kDocumentBoss));
  for (std::int32_t i = 0; i < pages; ++i) {
    const UID page = db->NewUID(kPageBoss);
    ImplOf<PageImpl, IPage>(*db, page)->SetSize(width, height);
    ImplOf<PageListImpl, IPageList>(*db, db->GetRootUID())->Append(page);
  }
  return db;
}

std::unique_ptr<DataBase> ReadDocumentFile(const std::filesystem::path& file, std::string& error) {
  const std::filesystem::path folder = file.parent_path();
  RemoveStaleTemporaries(folder.empty() ? "." : folder, file.filename().string());
  std::string bytes;
  if (!ReadWholeFile(file, bytes, &error))
    return nullptr;
  std::string reason;
  auto parsed = xml::XmlDocument::Parse(reinterpret_cast<const unsigned char*>(bytes.data()),
                                        bytes.size(), &reason);
  if (!parsed) {
    error = file.string() + ": " + reason;
    return nullptr;
  }
  auto db = NewDocumentDataBase(0, 0, 0);
  xml::XmlNode root;
  for (const xml::XmlNode& child : parsed->root().children()) {
    if (child.isElement())
      root = child;
  }
  if (!Reader(*db).Read(root, reason)) {
    error = file.string() + ": " + reason;
    return nullptr;
  }
  FlowStories(*db);
  db->SetSysFile(IDFile(file));
  db->MarkSaved();
  return db;
}

bool WriteDocumentFile(const DataBase& db, const std::filesystem::path& file, std::string& error) {
  return WriteFileAtomically(file, Writer(db).Write(), &error);
}

} // namespace layra
