#pragma once
// How the host answers alerts, and the record of every alert shown.

#include <layra/Export.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace layra {

enum class AlertAnswer { Interactive, First, Second, Third, Default };

struct AlertRecord {
  std::string message;
  std::vector<std::string> buttons;
  std::int16_t defaultButton = 1;
  std::int16_t icon = 0;
  std::int16_t answer = 1;
};

class LAYRA_API Alerts {
public:
  static Alerts& Instance();

  /** The policy for alerts nobody scripted: ask on a terminal, or pick a button. */
  void SetPolicy(AlertAnswer policy) { fPolicy = policy; }
  /** Answers for the next alerts, in order (1 = first button); they win over the policy. */
  void QueueAnswers(std::vector<std::int16_t> answers);
  /** How a front end shows an alert and returns the button pressed (1 = first); under the
   *  interactive policy it asks the person instead of the terminal. Null: none. */
  using Presenter = std::function<std::int16_t(const AlertRecord&)>;
  void SetPresenter(Presenter presenter) { fPresenter = std::move(presenter); }
  const std::vector<AlertRecord>& Log() const { return fLog; }
  void ClearLog() { fLog.clear(); }

  /** Shows an alert and returns the button chosen (1 = first); no buttons means one "OK". */
  std::int16_t Show(std::string message, std::vector<std::string> buttons,
                    std::int16_t defaultButton, std::int16_t icon);

private:
  std::int16_t Choose(const AlertRecord& alert);
  std::int16_t AskOnTerminal(const AlertRecord& alert) const;

  AlertAnswer fPolicy = AlertAnswer::Default;
  std::deque<std::int16_t> fScripted;
  Presenter fPresenter;
  std::vector<AlertRecord> fLog;
};

} // namespace layra
