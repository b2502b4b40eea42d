#pragma once
// The text of a story as the layout sees it: the frames it flows through, each frame one
// parcel of the story's text, in flow order. Text beyond the last frame is in no parcel.

#include <layra/Export.h>
#include <layra/HostIDs.h>
#include <layra/UIDRef.h>

constexpr PMIID IID_ITEXTMODEL{0x2C75};
constexpr PMIID IID_IPARCELLIST{0x2C76};

/** A parcel's place in its list; -1 names none. */
using ParcelKey = std::int32_t;
constexpr ParcelKey kInvalidParcel = -1;

class IParcelList : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IPARCELLIST;
  virtual std::int32_t GetParcelCount() const = 0;
  /** The parcel whose text holds position `at`; a caret just after the last character
   *  belongs to the parcel that ends there. kInvalidParcel when none does. */
  virtual ParcelKey GetParcelContaining(std::int32_t at) const = 0;
  virtual ParcelKey GetLastParcel() const = 0;
  /** The parcel after `key` in flow order; kInvalidParcel after the last. */
  virtual ParcelKey GetNextParcel(ParcelKey key) const = 0;
  /** The frame that shows the parcel; kInvalidUID for an invalid key. */
  virtual UID GetParcelFrameUID(ParcelKey key) const = 0;
  /** The parcel's text: [start, start + length). */
  virtual std::int32_t GetParcelStart(ParcelKey key) const = 0;
  virtual std::int32_t GetParcelLength(ParcelKey key) const = 0;
};

class ITextModel : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ITEXTMODEL;
  virtual std::int32_t TotalLength() const = 0;
  /** The parcels of the story that holds position `at`, with one reference; null when the
   *  position lies outside the story's text or the story flows through no frame. */
  virtual IParcelList* QueryParcelList(std::int32_t at) const = 0;
};

namespace LayoutUtils {
/** The page item, standing on a page of the frame's document, that owns the frame;
 *  kInvalidUID when there is none. */
LAYRA_API UID GetOwnerPageItem(const UIDRef& frame);
} // namespace LayoutUtils
