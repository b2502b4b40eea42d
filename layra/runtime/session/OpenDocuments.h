#pragma once
// The documents the host has open, front one last, and the signals that go out
// when one is opened, saved or closed.

#include <layra/UIDRef.h>
#include <layra/host/DataBase.h>
#include <layra/host/Result.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace layra {

class ActiveContext;
class ServiceRegistry;

class OpenDocuments {
public:
  OpenDocuments(ActiveContext& context, const ServiceRegistry& services)
      : fContext(context), fServices(services) {}
  ~OpenDocuments() { CloseAll(); }
  OpenDocuments(const OpenDocuments&) = delete;
  OpenDocuments& operator=(const OpenDocuments&) = delete;

  UIDRef New(std::int32_t pages, double width, double height);
  Result<UIDRef> Open(const std::filesystem::path& file);
  Result<void> Save(const UIDRef& document);
  Result<void> SaveAs(const UIDRef& document, const std::filesystem::path& file);
  void Close(const UIDRef& document);
  /** Closes every document without signals (the host is going away). */
  void CloseAll();
  UIDRef Front() const;
  /** Makes an open document the front one; the active context follows. */
  void BringToFront(const UIDRef& document);

private:
  UIDRef Adopt(std::unique_ptr<DataBase> document);
  Result<void> Write(const UIDRef& document, const std::filesystem::path& file);
  void UpdateFront();
  std::vector<std::unique_ptr<DataBase>>::iterator Find(const UIDRef& document);

  ActiveContext& fContext;
  const ServiceRegistry& fServices;
  std::vector<std::unique_ptr<DataBase>> fDocuments;
  int fUntitledCount = 0;
};

} // namespace layra
