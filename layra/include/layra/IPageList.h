#pragma once

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>

constexpr PMIID IID_IPAGELIST{0x1014};

/** The pages of a document, in document order. On the document's boss. */
class IPageList : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IPAGELIST;
  virtual std::int32_t GetPageCount() const = 0;
  /** kInvalidUID when the index is out of range. */
  virtual UID GetNthPageUID(std::int32_t index) const = 0;
};
