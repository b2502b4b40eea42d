#pragma once

#include <layra/CResponder.h>
#include <layra/UIDRef.h>

/** Answers the document signals: parses opened documents' names, stores statuses and sends
 *  the pages before a save, reloads statuses after a save under a new name. */
class DocWchResponder : public CResponder {
public:
  explicit DocWchResponder(IPMUnknown* boss) : CResponder(boss) {}
  void Respond(ISignalMgr* signalManager) override;

private:
  static void AfterOpen(const UIDRef& document);
  static void BeforeSave();
  static void AfterSaveAs(const UIDRef& document);
  static bool IsReady();
};
