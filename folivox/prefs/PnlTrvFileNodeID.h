#pragma once
// How the preferences tree view names a row: by the name of its node.

#include "prefs/PreferencePanelIDs.h"

#include <layra/NodeID.h>

class PnlTrvFileNodeID : public NodeIDClass {
public:
  static NodeID Create(const PMString& name) { return NodeID(new PnlTrvFileNodeID(name)); }
  explicit PnlTrvFileNodeID(const PMString& name) : fName(name) {}
  ~PnlTrvFileNodeID() override;

  const PMString& GetName() const { return fName; }
  NodeType GetNodeType() const override { return kCommonPreferencesNodeWidgetID; }
  /** Names compare without regard to letter case. */
  std::int32_t Compare(const NodeIDClass* other) const override;
  NodeIDClass* Clone() const override { return new PnlTrvFileNodeID(fName); }
  void Read(IPMStream* stream) override;
  void Write(IPMStream* stream) const override;

private:
  PMString fName;
};
