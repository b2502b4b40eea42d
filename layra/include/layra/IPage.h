#pragma once

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>
#include <layra/PMRect.h>

#include <string>
#include <vector>

constexpr PMIID IID_IPAGE{0x1015};
constexpr PMIID IID_IPAGEITEM{0x1016};
constexpr PMIID IID_ISTORY{0x1017};

constexpr ClassID kDocumentBoss{0x3201};
constexpr ClassID kPageBoss{0x3202};
constexpr ClassID kPageItemBoss{0x2c10};
constexpr ClassID kStoryBoss{0x3206};

/** One page: its size and its items, bottom to top. */
class IPage : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IPAGE;
  virtual double GetWidth() const = 0;
  virtual double GetHeight() const = 0;
  virtual std::vector<UID> GetItems() const = 0;
};

enum class PageItemKind { kRectangle, kText, kImage };

/** The text of a story that a text frame shows: [start, start + length) in bytes. */
struct TextRange {
  UID story = kInvalidUID;
  std::int32_t start = 0;
  std::int32_t length = 0;
};

/** A frame on a page. */
class IPageItem : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IPAGEITEM;
  virtual PageItemKind GetKind() const = 0;
  virtual PMRect GetBounds() const = 0;
  /** For text frames: the part of its story this frame shows. */
  virtual TextRange GetTextRange() const = 0;
};

/** Text that flows through one or more text frames. */
class IStory : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ISTORY;
  virtual std::string GetText() const = 0;
  /** The frames the text flows through, in order. */
  virtual std::vector<UID> GetFrames() const = 0;
};
