#pragma once
// Replaces the store of every item by the store the command carries, so that
// a change of preferences is one undoable step that observers hear about.

#include <layra/Command.h>

class KCommonPreferenceCommandImpl : public Command {
public:
  explicit KCommonPreferenceCommandImpl(IPMUnknown* boss) : Command(boss) {}

  void Do() override;
  void DoNotify() override;
  PMString CreateName() override;
};
