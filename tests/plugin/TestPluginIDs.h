#pragma once
// The test plug-in's identifiers and the interface tests reach it through.

#include <layra/IPMUnknown.h>

constexpr PMIID IID_ITESTCOUNTER{0x900000};
constexpr ActionID kTestIncrementAction{0x900001};
constexpr ActionID kTestGreetAction{0x900002};

/** A number kept on the application workspace. */
class ITestCounter : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ITESTCOUNTER;
  virtual std::int32_t Get() const = 0;
  virtual void Increment() = 0;
};
