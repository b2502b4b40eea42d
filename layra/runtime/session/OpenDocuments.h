#pragma once
// The documents the host has open, front one last, and the signals that go out
// when one is opened, saved or closed.

#include <layra/UIDRef.h>
#include <layra/host/DataBase.h>

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
  UIDRef Open(const std::filesystem::path& file, std::string* error);
  bool Save(const UIDRef& document, std::string* error);
  bool SaveAs(const UIDRef& document, const std::filesystem::path& file, std::string* error);
  void Close(const UIDRef& document);
  /** Closes every document without signals (the host is going away). */
  void CloseAll();
  UIDRef Front() const;
  /** Makes an open document the front one; the active context follows. */
  void BringToFront(const UIDRef& document);

private:
  UIDRef Adopt(std::unique_ptr<DataBase> document);
  bool Write(const UIDRef& document, const std::filesystem::path& file, std::string* error);
  void UpdateFront();
  std::vector<std::unique_ptr<DataBase>>::iterator Find(const UIDRef& document);

  ActiveContext& fContext;
  const ServiceRegistry& fServices;
  std::vector<std::unique_ptr<DataBase>> fDocuments;
  int fUntitledCount = 0;
};

} // namespace layra
