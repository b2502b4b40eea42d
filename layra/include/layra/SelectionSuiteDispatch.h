#pragma once
// How a suite on the integrator forwards to the concrete suites of the current selection.
// The integrator target lists the concrete suite bosses in the host's order; the forwarding
// visits them in reverse of that order and skips those that lack the suite.
//
//   AnyTrue:             the first suite that answers true ends the walk
//   ProcessWhileSuccess: inside one command sequence, while each suite answers 0
//   CallAll:             every suite, with the same arguments

#include <layra/CmdUtils.h>
#include <layra/ErrorUtils.h>
#include <layra/ISelectionTargets.h>

#include <vector>

class IIntegratorTarget : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IINTEGRATORTARGET;
  /** The concrete suite bosses of the current selection, in the host's order. */
  virtual std::vector<InterfacePtr<IPMUnknown>> GetTargetSuites() const = 0;
};

namespace SelectionDispatch {

/** The concrete suites that carry `Suite`, in visiting order. */
template <class Suite>
std::vector<InterfacePtr<Suite>> ConcreteSuites(const IPMUnknown* integrator) {
  std::vector<InterfacePtr<Suite>> suites;
  InterfacePtr<IIntegratorTarget> target(integrator, UseDefaultIID());
  if (!target)
    return suites;
  const std::vector<InterfacePtr<IPMUnknown>> bosses = target->GetTargetSuites();
  for (auto boss = bosses.rbegin(); boss != bosses.rend(); ++boss) {
    InterfacePtr<Suite> suite(boss->get(), UseDefaultIID());
    if (suite)
      suites.push_back(std::move(suite));
  }
  return suites;
}

template <class Suite, class Call> bool AnyTrue(const IPMUnknown* integrator, Call call) {
  for (const InterfacePtr<Suite>& suite : ConcreteSuites<Suite>(integrator)) {
    if (call(suite.get()))
      return true;
  }
  return false;
}

/** The last suite's result (0 when there is no suite); the global error code holds it too. */
template <class Suite, class Call>
ErrorCode ProcessWhileSuccess(const IPMUnknown* integrator, Call call) {
  const std::vector<InterfacePtr<Suite>> suites = ConcreteSuites<Suite>(integrator);
  ICommandSequence* sequence = CmdUtils::BeginCommandSequence();
  ErrorCode result = kSuccess;
  for (std::size_t i = 0; i < suites.size() && result == kSuccess; ++i) {
    result = call(suites[i].get());
    ErrorUtils::PMSetGlobalErrorCode(result);
  }
  CmdUtils::EndCommandSequence(sequence);
  ErrorUtils::PMSetGlobalErrorCode(result);
  return result;
}

template <class Suite, class Call> void CallAll(const IPMUnknown* integrator, Call call) {
  for (const InterfacePtr<Suite>& suite : ConcreteSuites<Suite>(integrator))
    call(suite.get());
}

} // namespace SelectionDispatch
