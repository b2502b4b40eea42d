#pragma once
// The test plug-in's identifiers and the interface tests reach it through.

#include <layra/IPMUnknown.h>

#include <string>
#include <vector>

constexpr PMIID IID_ITESTCOUNTER{0x900000};
constexpr ActionID kTestIncrementAction{0x900001};
constexpr ActionID kTestGreetAction{0x900002};
/** Adds one to the counter of each item. */
constexpr ClassID kTestIncrementCommandBoss{0x900002};

/** A number kept on the application workspace, and on each document: how often the
 *  palette's "Keep" box was turned there (ticked while odd). */
class ITestCounter : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ITESTCOUNTER;
  virtual std::int32_t Get() const = 0;
  virtual void Increment() = 0;
};

// The panel, dialog and list of the test plug-in.
constexpr PMIID IID_ITESTUI{0x900001};
constexpr ClassID kTestLogBoss{0x900014};
constexpr ActionID kTestDialogAction{0x900004};
constexpr WidgetID kTestPanelWidgetID{0x900010};
constexpr WidgetID kTestListWidgetID{0x900011};
constexpr WidgetID kTestRowTextWidgetID{0x900013};
constexpr WidgetID kTestRowCheckBoxWidgetID{0x900014};
constexpr WidgetID kTestIconButtonWidgetID{0x900015};
constexpr WidgetID kTestHelloButtonWidgetID{0x900016};
constexpr WidgetID kTestPasswordWidgetID{0x900017};
constexpr WidgetID kTestComboWidgetID{0x900018};
constexpr WidgetID kTestHiddenTextWidgetID{0x900019};
constexpr WidgetID kTestDialogEditWidgetID{0x90001A};
constexpr WidgetID kTestKeepWidgetID{0x90001B};
constexpr WidgetID kTestPrefsPageWidgetID{0x900021};
constexpr WidgetID kTestTreeWidgetID{0x900023};

/** What the test plug-in's widgets heard, and the size of its list. */
class ITestUI : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ITESTUI;
  /** The lines logged since the last call, oldest first. */
  virtual std::vector<std::string> TakeLog() = 0;
  virtual void SetRowCount(std::int32_t rows) = 0;
  /** Rows filled by the list's widget manager since the last call. */
  virtual std::int32_t TakeFilledRows() = 0;
  /** The next time the list's manager fills row `row` (from 0), it makes the rows anew from
   *  there, as a plug-in whose data changed while they were read does. */
  virtual void RebuildWhenFilling(std::int32_t row) = 0;
};
