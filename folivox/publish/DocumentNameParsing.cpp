#include "publish/DocumentNameRules.h"
#include "publish/FolivoActionComponent.h"

#include <string>
#include <utility>

std::int32_t FolivoActionComponent::ParseDocumentName(PMString documentName) {
  if (sharedActionComponent == nullptr || !IsConfigurationAcquired()) {
    return 1;
  }
  // The fields still hold what this name gave last time.
  if (documentName == fParsedDocumentName) {
    return 0;
  }
  const std::string subject = documentName.GrabCString();
  if (!fConfiguration) {
    return 1;
  }
  ParsedNameFields fields{fDay, fMonth, fMiniYear, fFirstPage, fLastPage};
  if (!ParseNameWithRules(*fConfiguration, subject, fields)) {
    return 1;
  }
  fDay = std::move(fields.day);
  fMonth = std::move(fields.month);
  fMiniYear = std::move(fields.miniYear);
  fFirstPage = std::move(fields.firstPage);
  fLastPage = std::move(fields.lastPage);
  fParsedDocumentName = documentName;
  return 0;
}
