#include "Documents.h"

namespace layra {
namespace {

constexpr ImplementationID kDocumentImpl{0x3010};
constexpr ImplementationID kPageListImpl{0x3011};
constexpr ImplementationID kPageImpl{0x3012};
constexpr ImplementationID kPageItemImpl{0x3013};
constexpr ImplementationID kStoryImpl{0x3014};

} // namespace

void RegisterDocumentClasses(ObjectModel& model, PluginID host) {
  model.RegisterImplementation(host, RecordOf<DocumentImpl>(kDocumentImpl));
  model.RegisterImplementation(host, RecordOf<PageListImpl>(kPageListImpl));
  model.RegisterImplementation(host, RecordOf<PageImpl>(kPageImpl));
  model.RegisterImplementation(host, RecordOf<PageItemImpl>(kPageItemImpl));
  model.RegisterImplementation(host, RecordOf<StoryImpl>(kStoryImpl));
  model.AddClass({kDocumentBoss,
                  kInvalidClass,
                  "kDocumentBoss",
                  host,
                  {{IID_IDOCUMENT, kDocumentImpl},
                   {IID_IPAGELIST, kPageListImpl},
                   {IID_ISUBJECT, kSubjectImpl}}});
  model.AddClass({kPageBoss, kInvalidClass, "kPageBoss", host, {{IID_IPAGE, kPageImpl}}});
  model.AddClass({kPageItemBoss,
                  kInvalidClass,
                  "kPageItemBoss",
                  host,
                  {{IID_IPAGEITEM, kPageItemImpl}, {IID_ISUBJECT, kSubjectImpl}}});
  model.AddClass({kStoryBoss, kInvalidClass, "kStoryBoss", host, {{IID_ISTORY, kStoryImpl}}});
}

} // namespace layra
