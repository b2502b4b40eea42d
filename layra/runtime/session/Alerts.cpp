#include <layra/CAlert.h>
#include <layra/host/Alerts.h>
#include <layra/host/Progress.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>

namespace layra {

Alerts& Alerts::Instance() {
  static Alerts alerts;
  return alerts;
}

void Alerts::QueueAnswers(std::vector<std::int16_t> answers) {
  fScripted.insert(fScripted.end(), answers.begin(), answers.end());
}

std::int16_t Alerts::Show(std::string message, std::vector<std::string> buttons,
                          std::int16_t defaultButton, std::int16_t icon) {
  AlertRecord alert{std::move(message), std::move(buttons), defaultButton, icon, 1};
  if (alert.buttons.empty()) // an alert always has a button to close it
    alert.buttons.push_back("OK");
  if (alert.defaultButton < 1 || alert.defaultButton > static_cast<int>(alert.buttons.size()))
    alert.defaultButton = 1;
  PauseProgress(); // the progress line makes room for the alert
  alert.answer = Choose(alert);
  std::fprintf(stderr, "[alert] %s\n[alert] -> %s\n", alert.message.c_str(),
               alert.buttons.at(static_cast<std::size_t>(alert.answer - 1)).c_str());
  fLog.push_back(alert);
  return alert.answer;
}

std::int16_t Alerts::Choose(const AlertRecord& alert) {
  const auto count = static_cast<std::int16_t>(alert.buttons.size());
  auto valid = [&](std::int16_t n) { return n >= 1 && n <= count ? n : alert.defaultButton; };
  if (!fScripted.empty()) {
    const std::int16_t answer = fScripted.front();
    fScripted.pop_front();
    return valid(answer);
  }
  if (fPresenter && fPolicy == AlertAnswer::Interactive)
    return valid(fPresenter(alert));
  switch (fPolicy) {
  case AlertAnswer::First:
    return valid(1);
  case AlertAnswer::Second:
    return valid(2);
  case AlertAnswer::Third:
    return valid(3);
  case AlertAnswer::Interactive:
    return AskOnTerminal(alert);
  case AlertAnswer::Default:
    break;
  }
  return alert.defaultButton;
}

std::int16_t Alerts::AskOnTerminal(const AlertRecord& alert) const {
  // The question goes to standard error: where nobody sees it, nobody is asked, or a run
  // whose error output goes to a file would wait for an answer to a question never shown.
  if (!::isatty(STDIN_FILENO) || !::isatty(STDERR_FILENO))
    return alert.defaultButton;
  std::fprintf(stderr, "\n%s\n", alert.message.c_str());
  for (std::size_t i = 0; i < alert.buttons.size(); ++i)
    std::fprintf(stderr, "  %zu) %s%s\n", i + 1, alert.buttons[i].c_str(),
                 static_cast<int>(i + 1) == alert.defaultButton ? " (default)" : "");
  for (;;) {
    std::fprintf(stderr, "Choose [%d]: ", alert.defaultButton);
    std::string line;
    if (!std::getline(std::cin, line) || line.empty())
      return alert.defaultButton;
    try {
      const int choice = std::stoi(line);
      if (choice >= 1 && choice <= static_cast<int>(alert.buttons.size()))
        return static_cast<std::int16_t>(choice);
    } catch (const std::exception&) {
    }
  }
}

} // namespace layra

namespace CAlert {

namespace {
std::string Shown(PMString text) {
  text.Translate();
  return text.GetUTF8String();
}
} // namespace

std::int16_t ModalAlert(const PMString& message, const PMString& button1, const PMString& button2,
                        const PMString& button3, std::int16_t defaultButton,
                        std::int16_t iconType) {
  std::vector<std::string> buttons;
  for (const PMString* button : {&button1, &button2, &button3}) {
    if (!button->IsEmpty())
      buttons.push_back(Shown(*button));
  }
  return layra::Alerts::Instance().Show(Shown(message), std::move(buttons), defaultButton,
                                        iconType);
}

void InformationAlert(const PMString& message) {
  layra::Alerts::Instance().Show(Shown(message), {"OK"}, 1, kNoIcon);
}

} // namespace CAlert
