#include "Documents.h"

#include "../model/HostImplementations.h"

namespace layra {

void RegisterDocumentClasses(ObjectModel& model, PluginID host) {
  RegisterHostImplementations(model, host,
                              {RecordOf<DocumentImpl>(kDocumentImpl),
                               RecordOf<PageListImpl>(kPageListImpl), RecordOf<PageImpl>(kPageImpl),
                               RecordOf<PageItemImpl>(kPageItemImpl),
                               RecordOf<StoryImpl>(kStoryImpl)});
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
