#include "SelectionManager.h"

#include "../documents/Documents.h"
#include "../ui/PanelManager.h"

#include <layra/IActiveContext.h>
#include <layra/IDataBase.h>
#include <layra/IDocument.h>
#include <layra/IObjectModel.h>
#include <layra/IPage.h>
#include <layra/ISession.h>

#include <algorithm>

namespace layra {

bool SelectionManager::SelectPageItems(const UIDList& items, Mode mode) {
  if (!fDataBase || (items.GetDataBase() != fDataBase && !items.IsEmpty()))
    return false;
  for (std::int32_t i = 0; i < items.Length(); ++i) {
    if (!QueryObject<IPageItem>(fDataBase, items.At(i)))
      return false;
  }
  if (mode == Mode::kReplace || fKind != SelectionKind::kLayout)
    fItems.clear();
  for (std::int32_t i = 0; i < items.Length(); ++i) {
    if (std::find(fItems.begin(), fItems.end(), items.At(i)) == fItems.end())
      fItems.push_back(items.At(i));
  }
  fKind = fItems.empty() ? SelectionKind::kNone : SelectionKind::kLayout;
  fStory = kInvalidUID;
  fStart = fEnd = -1;
  Changed();
  return true;
}

bool SelectionManager::SelectText(const UIDRef& story, std::int32_t start, std::int32_t end) {
  if (!fDataBase || story.GetDataBase() != fDataBase)
    return false;
  InterfacePtr<IStory> text = QueryObject<IStory>(fDataBase, story.GetUID());
  if (!text)
    return false;
  if (!IsTextRange(start, end, static_cast<std::int32_t>(text->GetText().size())))
    return false;
  fItems.clear();
  fKind = SelectionKind::kText;
  fStory = story.GetUID();
  fStart = start;
  fEnd = end;
  Changed();
  return true;
}

void SelectionManager::DeselectAll() {
  if (fKind == SelectionKind::kNone)
    return;
  Clear();
  Changed();
}

UIDList SelectionManager::GetSelectedItems() const {
  UIDList list(fDataBase);
  for (UID uid : fItems)
    list.Append(uid);
  return list;
}

IPMUnknown* SelectionManager::QueryIntegratorSuite(PMIID suite) const {
  return CreateObject(kIntegratorSuiteBoss, suite);
}

void SelectionManager::SetDocument(IDocument* document) {
  fDataBase = ::GetDataBase(document);
  Clear();
}

void SelectionManager::Clear() {
  fItems.clear();
  fKind = SelectionKind::kNone;
  fStory = kInvalidUID;
  fStart = fEnd = -1;
}

void SelectionManager::Changed() {
  ActiveSelectionChanged();
}

bool IsTextRange(std::int32_t start, std::int32_t end, std::int32_t length) {
  return start >= 0 && start <= length && (end == -1 || (end >= start && end <= length));
}

SelectionManager* CurrentSelection() {
  IActiveContext* context = GetExecutionContextSession()->GetActiveContext();
  return context ? static_cast<SelectionManager*>(context->GetContextSelection()) : nullptr;
}

} // namespace layra

ISelectionManager* GetActiveSelection() {
  return layra::CurrentSelection();
}
