#pragma once
// The host's document objects: the document itself with its page list, pages,
// page items and stories. Their data are written to and read from the
// document file directly; plug-in data on them are streamed blobs.

#include <layra/CPMUnknown.h>
#include <layra/IDataBase.h>
#include <layra/IDocument.h>
#include <layra/IPage.h>
#include <layra/IPageList.h>
#include <layra/host/ObjectModel.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace layra {

/** `Interface` of the object `uid` of `db`; null without a database or such an object. */
template <class Interface> InterfacePtr<Interface> QueryObject(const IDataBase* db, UID uid) {
  return InterfacePtr<Interface>(
      db ? static_cast<Interface*>(db->Instantiate(uid, Interface::kDefaultIID)) : nullptr);
}

/** The host implementation behind `Interface` of `uid`; the database keeps it alive. */
template <class Impl, class Interface> Impl* ImplOf(const IDataBase& db, UID uid) {
  return static_cast<Impl*>(QueryObject<Interface>(&db, uid).get());
}

struct ItemColor {
  double r = 0, g = 0, b = 0;
};

class DocumentImpl : public CPMUnknown<IDocument> {
public:
  explicit DocumentImpl(IPMUnknown* boss) : CPMUnknown<IDocument>(boss) {}
  void GetName(PMString& name) const override {
    name = PMString(fName, PMString::kDontTranslateDuringCall);
  }
  IDFile GetFile() const override { return fFile; }

  void SetName(std::string name) { fName = std::move(name); }
  void SetFile(const IDFile& file) { fFile = file; }

private:
  std::string fName;
  IDFile fFile;
};

class PageListImpl : public CPMUnknown<IPageList> {
public:
  explicit PageListImpl(IPMUnknown* boss) : CPMUnknown<IPageList>(boss) {}
  std::int32_t GetPageCount() const override { return static_cast<std::int32_t>(fPages.size()); }
  UID GetNthPageUID(std::int32_t index) const override {
    return index >= 0 && index < GetPageCount() ? fPages[static_cast<std::size_t>(index)]
                                                : kInvalidUID;
  }
  void Append(UID page) { fPages.push_back(page); }

private:
  std::vector<UID> fPages;
};

class PageImpl : public CPMUnknown<IPage> {
public:
  explicit PageImpl(IPMUnknown* boss) : CPMUnknown<IPage>(boss) {}
  double GetWidth() const override { return fWidth; }
  double GetHeight() const override { return fHeight; }
  std::vector<UID> GetItems() const override { return fItems; }

  void SetSize(double width, double height) {
    fWidth = width;
    fHeight = height;
  }
  void AddItem(UID item) { fItems.push_back(item); }

private:
  double fWidth = 612;
  double fHeight = 792;
  std::vector<UID> fItems;
};

class PageItemImpl : public CPMUnknown<IPageItem> {
public:
  explicit PageItemImpl(IPMUnknown* boss) : CPMUnknown<IPageItem>(boss) {}
  PageItemKind GetKind() const override { return kind; }
  PMRect GetBounds() const override { return bounds; }
  TextRange GetTextRange() const override { return range; }

  PageItemKind kind = PageItemKind::kRectangle;
  std::string name; // what automation steps may select the item by
  PMRect bounds;
  std::optional<ItemColor> fill;
  std::optional<ItemColor> stroke;
  double strokeWidth = 1;
  double fontSize = 12;
  ItemColor textColor;
  std::string imageFormat;
  std::shared_ptr<const std::vector<unsigned char>> image;
  TextRange range;
};

class StoryImpl : public CPMUnknown<IStory> {
public:
  explicit StoryImpl(IPMUnknown* boss) : CPMUnknown<IStory>(boss) {}
  std::string GetText() const override { return text; }
  std::vector<UID> GetFrames() const override { return frames; }

  std::string name;
  std::string text;
  std::vector<UID> frames;
};

/** Makes the document classes known to the object model. */
void RegisterDocumentClasses(ObjectModel& model, PluginID host);

/** The host implementation behind an interface of a document object (host code only). */
template <class Impl, class Interface> Impl* HostImplementation(Interface* object) {
  return static_cast<Impl*>(object);
}

} // namespace layra
