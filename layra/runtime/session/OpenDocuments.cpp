#include "OpenDocuments.h"

#include "../documents/DocumentFile.h"
#include "../documents/Documents.h"
#include "../services/ServiceRegistry.h"
#include "Application.h"

#include <algorithm>

namespace layra {
namespace {

InterfacePtr<IDocument> RootDocument(const DataBase& db) {
  return QueryObject<IDocument>(&db, db.GetRootUID());
}

DocumentImpl* DocumentOf(const DataBase& db) {
  return HostImplementation<DocumentImpl>(RootDocument(db).get()); // the database keeps it
}

} // namespace

std::vector<std::unique_ptr<DataBase>>::iterator OpenDocuments::Find(const UIDRef& document) {
  return std::find_if(fDocuments.begin(), fDocuments.end(),
                      [&](const auto& db) { return db.get() == document.GetDataBase(); });
}

UIDRef OpenDocuments::Adopt(std::unique_ptr<DataBase> document) {
  const UIDRef ref(document.get(), document->GetRootUID());
  fDocuments.push_back(std::move(document));
  UpdateFront();
  return ref;
}

void OpenDocuments::UpdateFront() {
  // The database keeps its document alive.
  fContext.SetContextDocument(fDocuments.empty() ? nullptr
                                                 : RootDocument(*fDocuments.back()).get());
}

void OpenDocuments::BringToFront(const UIDRef& document) {
  auto owner = Find(document);
  if (owner == fDocuments.end() || owner + 1 == fDocuments.end())
    return;
  std::rotate(owner, owner + 1, fDocuments.end());
  UpdateFront();
}

UIDRef OpenDocuments::New(std::int32_t pages, double width, double height) {
  auto db = NewDocumentDataBase(pages, width, height);
  DocumentOf(*db)->SetName("Untitled-" + std::to_string(++fUntitledCount));
  return Adopt(std::move(db));
}

Result<UIDRef> OpenDocuments::Open(const std::filesystem::path& file) {
  std::string reason;
  auto db = ReadDocumentFile(file, reason);
  if (!db)
    return Failure{reason};
  DocumentOf(*db)->SetName(file.filename().string());
  DocumentOf(*db)->SetFile(IDFile(file));
  const UIDRef ref = Adopt(std::move(db));
  fServices.SendDocumentSignal(kAfterOpenDocSignalResponderService, ref);
  return ref;
}

Result<void> OpenDocuments::Write(const UIDRef& document, const std::filesystem::path& file) {
  auto owner = Find(document);
  if (owner == fDocuments.end())
    return Failure{"the document is not open"};
  std::string reason;
  if (!WriteDocumentFile(**owner, file, reason))
    return Failure{reason};
  (*owner)->MarkSaved();
  return {};
}

Result<void> OpenDocuments::Save(const UIDRef& document) {
  InterfacePtr<IDocument> doc(static_cast<IDocument*>(document.Instantiate(IID_IDOCUMENT)));
  if (!doc || doc->GetFile().IsEmpty())
    return Failure{"the document has no file yet; save it under a name"};
  fServices.SendDocumentSignal(kBeforeSaveDocSignalResponderService, document);
  if (Result<void> written = Write(document, doc->GetFile().GetPath()); !written)
    return written;
  fServices.SendDocumentSignal(kAfterSaveDocSignalResponderService, document);
  return {};
}

Result<void> OpenDocuments::SaveAs(const UIDRef& document, const std::filesystem::path& file) {
  InterfacePtr<IDocument> doc(static_cast<IDocument*>(document.Instantiate(IID_IDOCUMENT)));
  if (!doc)
    return Failure{"the document is not open"};
  fServices.SendDocumentSignal(kBeforeSaveAsDocSignalResponderService, document);
  if (Result<void> written = Write(document, file); !written)
    return written;
  HostImplementation<DocumentImpl>(doc.get())->SetName(file.filename().string());
  HostImplementation<DocumentImpl>(doc.get())->SetFile(IDFile(file));
  fServices.SendDocumentSignal(kAfterSaveAsDocSignalResponderService, document);
  return {};
}

void OpenDocuments::Close(const UIDRef& document) {
  auto owner = Find(document);
  if (owner == fDocuments.end())
    return;
  fServices.SendDocumentSignal(kBeforeCloseDocSignalResponderService, document);
  fContext.SetContextDocument(nullptr);
  fDocuments.erase(owner);
  UpdateFront();
  fServices.SendDocumentSignal(kAfterCloseDocSignalResponderService, UIDRef());
}

void OpenDocuments::CloseAll() {
  fContext.SetContextDocument(nullptr);
  fDocuments.clear();
}

UIDRef OpenDocuments::Front() const {
  if (fDocuments.empty())
    return UIDRef();
  return UIDRef(fDocuments.back().get(), fDocuments.back()->GetRootUID());
}

} // namespace layra
