// The host's implementations on the suite classes: the integrator lists the concrete suite
// of the current selection, the layout target its page items, the text target its story
// and focus. All of them read the selection when asked, so a suite boss held across a
// selection change sees the new selection.

#include "SelectionManager.h"

#include "../documents/Documents.h"
#include "../model/HostImplementations.h"

#include <layra/IDataBase.h>
#include <layra/IObjectModel.h>
#include <layra/IPageList.h>
#include <layra/ISelectionTargets.h>
#include <layra/ITextModel.h>
#include <layra/SelectionSuiteDispatch.h>

#include <algorithm>

namespace layra {
namespace {

// What the pages list, sorted. A deleted item may still be listed, so whether an item is
// placed also asks the database, but only for the items in question.
std::vector<UID> ListedItems(IDataBase* db) {
  std::vector<UID> items;
  InterfacePtr<IPageList> pages = QueryObject<IPageList>(db, db ? db->GetRootUID() : kInvalidUID);
  for (std::int32_t i = 0; pages && i < pages->GetPageCount(); ++i) {
    InterfacePtr<IPage> page = QueryObject<IPage>(db, pages->GetNthPageUID(i));
    const std::vector<UID> onPage = page ? page->GetItems() : std::vector<UID>{};
    items.insert(items.end(), onPage.begin(), onPage.end());
  }
  // Items are mostly listed in the order they were made, which is the order of their UIDs.
  if (!std::is_sorted(items.begin(), items.end()))
    std::sort(items.begin(), items.end());
  return items;
}

bool IsPlaced(IDataBase* db, const std::vector<UID>& listed, UID item) {
  return std::binary_search(listed.begin(), listed.end(), item) &&
         db->GetClass(item) != kInvalidClass;
}

class IntegratorTarget : public CPMUnknown<IIntegratorTarget> {
public:
  explicit IntegratorTarget(IPMUnknown* boss) : CPMUnknown<IIntegratorTarget>(boss) {}
  std::vector<InterfacePtr<IPMUnknown>> GetTargetSuites() const override {
    std::vector<InterfacePtr<IPMUnknown>> suites;
    // A layout view with nothing selected still has its layout suite, whose empty target
    // answers no and fails to apply, rather than nothing answering and an apply succeeding.
    SelectionManager* selection = CurrentSelection();
    if (!selection || !selection->GetDataBase())
      return suites;
    const bool text = selection->GetKind() == SelectionKind::kText;
    suites.emplace_back(CreateObject(text ? kTextSuiteBoss : kLayoutSuiteBoss, IID_IUNKNOWN));
    return suites;
  }
};

class LayoutTarget : public CPMUnknown<ILayoutTarget> {
public:
  explicit LayoutTarget(IPMUnknown* boss) : CPMUnknown<ILayoutTarget>(boss) {}
  UIDList GetUIDList(Filter filter) const override {
    SelectionManager* selection = CurrentSelection();
    if (!selection || selection->GetKind() != SelectionKind::kLayout)
      return UIDList(selection ? selection->GetDataBase() : nullptr);
    const UIDList selected = selection->GetSelectedItems();
    if (filter == Filter::kNone)
      return selected;
    // The selection holds each item once; what it must drop is what left the pages.
    IDataBase* db = selected.GetDataBase();
    const std::vector<UID> listed = ListedItems(db);
    UIDList kept(db);
    for (std::int32_t i = 0; i < selected.Length(); ++i) {
      if (IsPlaced(db, listed, selected.At(i)))
        kept.Append(selected.At(i));
    }
    return kept;
  }
};

class TextFocus final : public RefCounted<ITextFocus> {
public:
  TextFocus(const UIDRef& story, std::int32_t start, std::int32_t end)
      : fStory(story), fStart(start), fEnd(end) {}
  std::int32_t GetStart() const override { return fStart; }
  std::int32_t GetEnd() const override { return fEnd; }
  bool IsValid() const override {
    InterfacePtr<IStory> story = QueryObject<IStory>(fStory.GetDataBase(), fStory.GetUID());
    return story && IsTextRange(fStart, fEnd, static_cast<std::int32_t>(story->GetText().size()));
  }

private:
  UIDRef fStory;
  std::int32_t fStart;
  std::int32_t fEnd;
};

class TextTarget : public CPMUnknown<ITextTarget> {
public:
  explicit TextTarget(IPMUnknown* boss) : CPMUnknown<ITextTarget>(boss) {}
  UIDRef GetStory() const override {
    SelectionManager* selection = CurrentSelection();
    return selection && selection->GetKind() == SelectionKind::kText ? selection->GetStory()
                                                                     : UIDRef();
  }
  ITextModel* QueryTextModel() const override {
    return static_cast<ITextModel*>(GetStory().Instantiate(IID_ITEXTMODEL));
  }
  ITextFocus* QueryTextFocus() const override {
    SelectionManager* selection = CurrentSelection();
    if (!selection || selection->GetKind() != SelectionKind::kText)
      return nullptr;
    return new TextFocus(selection->GetStory(), selection->GetStart(), selection->GetEnd());
  }
};

struct Parcel {
  UID frame;
  std::int32_t start;
  std::int32_t length;
};

class ParcelList final : public RefCounted<IParcelList> {
public:
  ParcelList(std::vector<Parcel> parcels, std::int32_t textLength)
      : fParcels(std::move(parcels)), fTextLength(textLength) {}
  std::int32_t GetParcelCount() const override {
    return static_cast<std::int32_t>(fParcels.size());
  }
  ParcelKey GetParcelContaining(std::int32_t at) const override {
    for (ParcelKey key = 0; key < GetParcelCount(); ++key) {
      const Parcel& parcel = fParcels[static_cast<std::size_t>(key)];
      const bool endsText = parcel.start + parcel.length == fTextLength;
      if (at >= parcel.start &&
          (at < parcel.start + parcel.length || (endsText && at == fTextLength)))
        return key;
    }
    return kInvalidParcel;
  }
  ParcelKey GetLastParcel() const override { return GetParcelCount() - 1; }
  ParcelKey GetNextParcel(ParcelKey key) const override {
    return key >= 0 && key + 1 < GetParcelCount() ? key + 1 : kInvalidParcel;
  }
  UID GetParcelFrameUID(ParcelKey key) const override {
    return Valid(key) ? At(key).frame : kInvalidUID;
  }
  std::int32_t GetParcelStart(ParcelKey key) const override {
    return Valid(key) ? At(key).start : 0;
  }
  std::int32_t GetParcelLength(ParcelKey key) const override {
    return Valid(key) ? At(key).length : 0;
  }

private:
  bool Valid(ParcelKey key) const { return key >= 0 && key < GetParcelCount(); }
  const Parcel& At(ParcelKey key) const { return fParcels[static_cast<std::size_t>(key)]; }

  std::vector<Parcel> fParcels;
  std::int32_t fTextLength;
};

// A story flows through its frames in order; each frame holds one parcel of its text.
class TextModel : public CPMUnknown<ITextModel> {
public:
  explicit TextModel(IPMUnknown* boss) : CPMUnknown<ITextModel>(boss) {}
  std::int32_t TotalLength() const override {
    InterfacePtr<IStory> story(this, UseDefaultIID());
    return story ? static_cast<std::int32_t>(story->GetText().size()) : 0;
  }
  IParcelList* QueryParcelList(std::int32_t at) const override {
    InterfacePtr<IStory> story(this, UseDefaultIID());
    IDataBase* db = ::GetDataBase(this);
    if (!story || at < 0 || at > TotalLength() || story->GetFrames().empty())
      return nullptr;
    std::vector<Parcel> parcels;
    for (UID frame : story->GetFrames()) {
      InterfacePtr<IPageItem> item = QueryObject<IPageItem>(db, frame);
      if (!item)
        continue;
      const TextRange range = item->GetTextRange();
      parcels.push_back(Parcel{frame, range.start, range.length});
    }
    return new ParcelList(std::move(parcels), TotalLength());
  }
};

} // namespace

void RegisterSelectionClasses(ObjectModel& model, PluginID host) {
  RegisterHostImplementations(
      model, host,
      {RecordOf<IntegratorTarget>(kIntegratorTargetImpl), RecordOf<LayoutTarget>(kLayoutTargetImpl),
       RecordOf<TextTarget>(kTextTargetImpl), RecordOf<TextModel>(kTextModelImpl)});
  model.AddClass({kIntegratorSuiteBoss,
                  kInvalidClass,
                  "kIntegratorSuiteBoss",
                  host,
                  {{IID_IINTEGRATORTARGET, kIntegratorTargetImpl}}});
  model.AddClass({kLayoutSuiteBoss,
                  kInvalidClass,
                  "kLayoutSuiteBoss",
                  host,
                  {{IID_ILAYOUTTARGET, kLayoutTargetImpl}}});
  model.AddClass({kTextSuiteBoss,
                  kInvalidClass,
                  "kTextSuiteBoss",
                  host,
                  {{IID_ITEXTTARGET, kTextTargetImpl}}});
  model.AddInterfaceToClass(kStoryBoss, {IID_ITEXTMODEL, kTextModelImpl}, host);
}

} // namespace layra

UID LayoutUtils::GetOwnerPageItem(const UIDRef& frame) {
  // A text frame of this host is itself the page item; it owns the frame while it stands
  // on a page.
  IDataBase* db = frame.GetDataBase();
  if (!frame.IsValid() || !layra::IsPlaced(db, layra::ListedItems(db), frame.GetUID()))
    return kInvalidUID;
  return frame.GetUID();
}
