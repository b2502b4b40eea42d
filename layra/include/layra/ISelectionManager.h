#pragma once
// The selection of the active context: page items of the front document (a layout
// selection) or a range of one story's text (a text selection). Plug-ins reach what is
// selected through suites: QueryIntegratorSuite gives the integrator suite boss, on which a
// plug-in's suite interface forwards to the concrete suites of the current selection.

#include <layra/Export.h>
#include <layra/HostIDs.h>
#include <layra/UIDRef.h>

constexpr PMIID IID_ISELECTIONMANAGER{0x2C70};

constexpr ClassID kIntegratorSuiteBoss{0x1a4};
constexpr ClassID kLayoutSuiteBoss{0x2c61};
constexpr ClassID kTextSuiteBoss{0x2c0};

enum class SelectionKind { kNone, kLayout, kText };

class ISelectionManager : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ISELECTIONMANAGER;

  enum class Mode { kReplace, kAdd };

  virtual SelectionKind GetKind() const = 0;
  /** Selects page items of the front document; items of another database are refused. */
  virtual bool SelectPageItems(const UIDList& items, Mode mode = Mode::kReplace) = 0;
  /** Places a text focus in a story of the front document: [start, end), or a caret at
   *  start when end is -1. False when the story or the positions do not exist. */
  virtual bool SelectText(const UIDRef& story, std::int32_t start, std::int32_t end) = 0;
  virtual void DeselectAll() = 0;
  /** The selected page items, in the order they were selected. */
  virtual UIDList GetSelectedItems() const = 0;

  /** Interface `suite` of the integrator suite boss with one reference; null when no plug-in
   *  adds that suite to the integrator. */
  virtual IPMUnknown* QueryIntegratorSuite(PMIID suite) const = 0;
};

/** The selection of the active context, not referenced; null when there is no context. */
LAYRA_API ISelectionManager* GetActiveSelection();
