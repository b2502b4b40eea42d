#pragma once
// The plug-in's action component: every action of the plug-in passes through
// it, and it owns the publishing state of one run of the host.

#include "publish/ConfigNode.h"
#include "publish/SendSession.h"

#include <layra/CActionComponent.h>
#include <layra/PMString.h>
#include <layra/UIDRef.h>

#include <memory>
#include <string>
#include <vector>

struct Publication;
struct PendingBatch;

class FolivoActionComponent : public CActionComponent {
public:
  explicit FolivoActionComponent(IPMUnknown* boss);
  ~FolivoActionComponent() override;

  void DoAction(IActiveContext* context, ActionID action, GSysPoint mousePoint,
                IPMUnknown* widget) override;

  /** Exports, describes and uploads the front document's pages; reports every failure and,
   *  in one line, how the send ended. */
  void SendPages(SendOrigin origin = SendOrigin::kAsked);
  /** Uploads the files that sends left unsent, batch by batch, oldest first, passing over
   *  each batch that cannot go; stops at the first failed upload. True when every batch
   *  went. */
  bool ResendUnsent();
  /** Downloads and loads the configuration once per run; true when one is usable. */
  bool AcquireConfiguration();
  void LoadConfiguration();
  /** Downloads the configuration again now, with the questions and alerts of the start-up,
   *  and loads it; true when one is usable. */
  bool ReloadConfiguration();
  /** 0 when a DOCNAME rule matched `documentName`, 1 otherwise. */
  std::int32_t ParseDocumentName(PMString documentName);
  /** Parses the name of `document`, or of the front document when it is null. */
  std::int32_t ParseDocumentNameOf(const UIDRef* document);
  void ResetParsedFields();
  void OnPreferencesClosed();
  /** Writes today's date into the store when it holds none. */
  void CheckCacheDate();
  /** Marks the store once while no configuration address is set. */
  void CheckFirstRunPreferences();
  /** Asks, then clears the store of everything but the address and the first-run marker. */
  void ConfirmAndClearCache();
  void ClearCache();
  /** Uploads one file over the shared FTP handle; a libcurl result code. */
  std::int32_t UploadFile(const PMString& localPath, const PMString& url, const PMString& login);

  const ConfigNode* Configuration() const { return fConfiguration.get(); }
  const std::vector<PreviewQuality>& PreviewVariants() const { return fPreviewVariants; }
  bool IsConfigurationAcquired() const { return fAcquired; }
  /** The first page number the last parsed document name gave, as text. */
  const std::string& FirstPageText() const { return fFirstPage; }

private:
  void InstallHooks();
  void Dispatch(ActionID action);
  /** SendPages up to the upload; false when the send ended before it. */
  bool PrepareSend(SendSession& session, Publication& run);
  /** How one batch's re-send went: passed over (it cannot go as recorded, or a file could not
   *  be opened), or stopped (a failed upload or a cancel, which ends the re-send). */
  enum class ResendResult { kSent, kPassedOver, kStopped };
  ResendResult ResendBatch(const PendingBatch& batch, const std::string& ftpUrl);
  /** The configuration's GRABURL, decoded; empty when there is none. */
  std::string ConfiguredFtpUrl() const;

  bool fMenuSend = false;
  bool fAcquired = false;
  bool fAcquisitionStarted = false;
  std::unique_ptr<ConfigNode> fConfiguration;
  std::string fDay;
  std::string fMonth;
  std::string fMiniYear;
  std::string fEdition;
  std::string fFirstPage;
  std::string fLastPage;
  std::vector<PreviewQuality> fPreviewVariants;
  PMString fParsedDocumentName;
  bool fFirstRunChecked = false;
};

/** The one action component, set by every action it performs; null before the first. */
extern FolivoActionComponent* sharedActionComponent;
