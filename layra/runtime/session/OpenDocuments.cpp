#include "OpenDocuments.h"

#include "../documents/DocumentFile.h"
#include "../documents/Documents.h"
#include "../services/ServiceRegistry.h"
#include "Application.h"

#include <algorithm>

namespace layra {
namespace {

bool Fail(std::string* error, std::string reason) {
  if (error)
    *error = std::move(reason);
  return false;
}

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

UIDRef OpenDocuments::Open(const std::filesystem::path& file, std::string* error) {
  std::string reason;
  auto db = ReadDocumentFile(file, reason);
  if (!db) {
    Fail(error, reason);
    return UIDRef();
  }
  DocumentOf(*db)->SetName(file.filename().string());
  DocumentOf(*db)->SetFile(IDFile(file));
  const UIDRef ref = Adopt(std::move(db));
  fServices.SendDocumentSignal(kAfterOpenDocSignalResponderService, ref);
  return ref;
}

bool OpenDocuments::Write(const UIDRef& document, const std::filesystem::path& file,
                          std::string* error) {
  auto owner = Find(document);
  if (owner == fDocuments.end())
    return Fail(error, "the document is not open");
  std::string reason;
  if (!WriteDocumentFile(**owner, file, reason))
    return Fail(error, reason);
  (*owner)->MarkSaved();
  return true;
}

bool OpenDocuments::Save(const UIDRef& document, std::string* error) {
  InterfacePtr<IDocument> doc(static_cast<IDocument*>(document.Instantiate(IID_IDOCUMENT)));
  if (!doc || doc->GetFile().IsEmpty())
    return Fail(error, "the document has no file yet; save it under a name");
  fServices.SendDocumentSignal(kBeforeSaveDocSignalResponderService, document);
  if (!Write(document, doc->GetFile().GetPath(), error))
    return false;
  fServices.SendDocumentSignal(kAfterSaveDocSignalResponderService, document);
  return true;
}

bool OpenDocuments::SaveAs(const UIDRef& document, const std::filesystem::path& file,
                           std::string* error) {
  InterfacePtr<IDocument> doc(static_cast<IDocument*>(document.Instantiate(IID_IDOCUMENT)));
  if (!doc)
    return Fail(error, "the document is not open");
  fServices.SendDocumentSignal(kBeforeSaveAsDocSignalResponderService, document);
  if (!Write(document, file, error))
    return false;
  HostImplementation<DocumentImpl>(doc.get())->SetName(file.filename().string());
  HostImplementation<DocumentImpl>(doc.get())->SetFile(IDFile(file));
  fServices.SendDocumentSignal(kAfterSaveAsDocSignalResponderService, document);
  return true;
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
