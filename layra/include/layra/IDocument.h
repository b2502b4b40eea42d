#pragma once

#include <layra/HostIDs.h>
#include <layra/IDFile.h>
#include <layra/IPMUnknown.h>
#include <layra/PMString.h>

constexpr PMIID IID_IDOCUMENT{0x1013};

/** An open document: the root object of its database. */
class IDocument : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IDOCUMENT;
  /** The file name with its extension; "Untitled-N" before the first save. */
  virtual void GetName(PMString& name) const = 0;
  /** The file the document was opened from or last saved to; empty before the first save. */
  virtual IDFile GetFile() const = 0;
};
