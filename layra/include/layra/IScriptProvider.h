#pragma once
// A plug-in's requests for scripts and automation steps: a verb and text arguments in, a
// text answer and an error code out. The host finds providers by this interface on any
// class.

#include <layra/HostIDs.h>
#include <layra/K2Vector.h>
#include <layra/PMString.h>

constexpr PMIID IID_ISCRIPTPROVIDER{0x2C77};

class IScriptProvider : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ISCRIPTPROVIDER;
  virtual bool CanHandle(const PMString& verb) const = 0;
  /** Runs a request; what it reports goes to `answer`, one line each. 0 on success. */
  virtual ErrorCode HandleRequest(const PMString& verb, const K2Vector<PMString>& arguments,
                                  PMString& answer) = 0;
};
