#pragma once
// Sets the attribute text of every item of its list that carries attributes, as one
// undoable step; the text comes from the command's own attributes.

#include <layra/Command.h>

class QUORAdvertisementAttrCommand : public Command {
public:
  explicit QUORAdvertisementAttrCommand(IPMUnknown* boss);

  void Do() override;
  void DoNotify() override;
  PMString CreateName() override;
};
