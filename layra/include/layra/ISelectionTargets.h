#pragma once
// What a concrete selection suite acts on, asked of the suite's own boss: the layout
// suite has a layout target, the text suite a text target with its text focus.

#include <layra/HostIDs.h>
#include <layra/UIDRef.h>

class ITextModel;
class ITextFocus;

constexpr PMIID IID_ILAYOUTTARGET{0x2C71};
constexpr PMIID IID_ITEXTTARGET{0x2C72};
constexpr PMIID IID_ITEXTFOCUS{0x2C73};
constexpr PMIID IID_IINTEGRATORTARGET{0x2C74};

class ILayoutTarget : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ILAYOUTTARGET;
  /** With the default filtering, items that were deleted or no longer stand on a page of
   *  the document are left out. */
  enum class Filter { kDefault, kNone };
  virtual UIDList GetUIDList(Filter filter = Filter::kDefault) const = 0;
};

/** A range of a story's text; either end is -1 when there is none. */
class ITextFocus : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ITEXTFOCUS;
  virtual std::int32_t GetStart() const = 0;
  virtual std::int32_t GetEnd() const = 0;
  /** False when the story is gone or a position lies outside its text. */
  virtual bool IsValid() const = 0;
};

class ITextTarget : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ITEXTTARGET;
  virtual UIDRef GetStory() const = 0;
  /** The story's text model with one reference; null without a story. */
  virtual ITextModel* QueryTextModel() const = 0;
  /** The focus with one reference; null without a text selection. */
  virtual ITextFocus* QueryTextFocus() const = 0;
};
