// How a suite on the integrator forwards to the concrete suites: the order it visits them
// in, where each rule stops, and the error code it leaves.

#include <layra/ErrorUtils.h>
#include <layra/SelectionSuiteDispatch.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr PMIID IID_IPROBE{0x7F0001};

class IProbe : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IPROBE;
  virtual bool Ask() = 0;
  virtual ErrorCode Apply() = 0;
};

// One concrete suite: answers as told and writes its name to the shared log when called.
class Probe final : public IProbe {
public:
  Probe(std::string name, bool answer, ErrorCode result, std::string& log)
      : fName(std::move(name)), fAnswer(answer), fResult(result), fLog(log) {}
  IPMUnknown* QueryInterface(PMIID iid) const override {
    return iid == IID_IPROBE || iid == IID_IUNKNOWN ? const_cast<Probe*>(this) : nullptr;
  }
  void AddRef() const override {}
  void Release() const override {}
  bool Ask() override { return Log(), fAnswer; }
  ErrorCode Apply() override { return Log(), fResult; }

private:
  void Log() { fLog += fName; }
  std::string fName;
  bool fAnswer;
  ErrorCode fResult;
  std::string& fLog;
};

// A suite boss without the probe's interface, which the forwarding skips.
class Stranger final : public IPMUnknown {
public:
  IPMUnknown* QueryInterface(PMIID iid) const override {
    return iid == IID_IUNKNOWN ? const_cast<Stranger*>(this) : nullptr;
  }
  void AddRef() const override {}
  void Release() const override {}
};

class Integrator final : public IIntegratorTarget {
public:
  explicit Integrator(std::vector<IPMUnknown*> suites) : fSuites(std::move(suites)) {}
  IPMUnknown* QueryInterface(PMIID iid) const override {
    return iid == IID_IINTEGRATORTARGET ? const_cast<Integrator*>(this) : nullptr;
  }
  void AddRef() const override {}
  void Release() const override {}
  std::vector<InterfacePtr<IPMUnknown>> GetTargetSuites() const override {
    std::vector<InterfacePtr<IPMUnknown>> suites;
    for (IPMUnknown* suite : fSuites)
      suites.emplace_back(suite, IID_IUNKNOWN);
    return suites;
  }

private:
  std::vector<IPMUnknown*> fSuites;
};

struct Case {
  const char* what;
  std::vector<bool> answers;      // in the host's order
  std::vector<ErrorCode> results; // in the host's order
  const char* askedLog;           // visiting order of AnyTrue
  bool asked;
  const char* appliedLog; // visiting order of ProcessWhileSuccess
  ErrorCode applied;
};

TEST(SelectionDispatch, VisitsTheConcreteSuitesLastFirstAndStopsByItsRule) {
  const Case cases[] = {
      {"none", {}, {}, "", false, "", kSuccess},
      {"all answer no, all succeed", {false, false, false}, {0, 0, 0}, "cba", false, "cba", 0},
      {"the last listed answers yes", {false, true, true}, {0, 0, 0}, "c", true, "cba", 0},
      {"a middle one answers yes", {false, true, false}, {0, 5, 0}, "cb", true, "cb", 5},
      {"the first visited fails", {true, false, false}, {0, 0, 7}, "cba", true, "c", 7},
  };
  for (const Case& c : cases) {
    std::string log;
    std::vector<Probe> probes;
    probes.reserve(c.answers.size());
    for (std::size_t i = 0; i < c.answers.size(); ++i)
      probes.emplace_back(std::string(1, static_cast<char>('a' + i)), c.answers[i], c.results[i],
                          log);
    Stranger stranger;
    std::vector<IPMUnknown*> suites{&stranger};
    for (Probe& probe : probes)
      suites.push_back(&probe);
    Integrator integrator(suites);

    EXPECT_EQ(SelectionDispatch::AnyTrue<IProbe>(&integrator, [](IProbe* p) { return p->Ask(); }),
              c.asked)
        << c.what;
    EXPECT_EQ(log, c.askedLog) << c.what;
    log.clear();
    ErrorUtils::PMSetGlobalErrorCode(99);
    EXPECT_EQ(SelectionDispatch::ProcessWhileSuccess<IProbe>(&integrator,
                                                             [](IProbe* p) { return p->Apply(); }),
              c.applied)
        << c.what;
    EXPECT_EQ(ErrorUtils::PMGetGlobalErrorCode(), c.applied) << c.what;
    EXPECT_EQ(log, c.appliedLog) << c.what;
    log.clear();
    SelectionDispatch::CallAll<IProbe>(&integrator, [](IProbe* p) { p->Ask(); });
    EXPECT_EQ(log.size(), c.answers.size()) << c.what;
  }
}

} // namespace
