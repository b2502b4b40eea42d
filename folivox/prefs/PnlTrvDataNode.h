#pragma once
// One node of the preferences tree: the root, a group, or a preference. Children are held by
// value, so a node reached through its parent is a copy; the model keeps the originals.

#include <layra/PMString.h>

#include <cstdint>
#include <vector>

class PnlTrvDataNode {
public:
  PnlTrvDataNode() = default;
  PnlTrvDataNode(const PnlTrvDataNode& other) = default;
  PnlTrvDataNode& operator=(const PnlTrvDataNode& other) = default;
  virtual ~PnlTrvDataNode() = default;

  PMString GetName() const { return fName; }
  void SetName(const PMString& name) { fName = name; }
  PnlTrvDataNode* GetParent() const { return fParent; }
  void SetParent(PnlTrvDataNode* parent) { fParent = parent; }
  const PMString& GetDisplayText() const { return fDisplayText; }
  void SetDisplayText(const PMString& text) { fDisplayText = text; }
  const PMString& GetKeyText() const { return fKeyText; }
  void SetKeyText(const PMString& text) { fKeyText = text; }
  std::int32_t GetType() const { return fType; }
  void SetType(std::int32_t type) { fType = type; }
  std::int32_t GetSelected() const { return fSelected; }
  void SetSelected(std::int32_t selected) { fSelected = selected; }

  /** Appends a copy of `child`. */
  void AddChild(const PnlTrvDataNode& child) { fChildren.push_back(child); }
  std::int32_t ChildCount() const { return static_cast<std::int32_t>(fChildren.size()); }
  /** Child `n`, which must be below ChildCount(). */
  PnlTrvDataNode* GetNthChild(std::int32_t n) { return &fChildren.at(static_cast<std::size_t>(n)); }
  const PnlTrvDataNode* GetNthChild(std::int32_t n) const {
    return &fChildren.at(static_cast<std::size_t>(n));
  }

  friend bool operator==(const PnlTrvDataNode& a, const PnlTrvDataNode& b);

private:
  std::vector<PnlTrvDataNode> fChildren;
  PMString fName;
  PnlTrvDataNode* fParent = nullptr;
  PMString fDisplayText;
  PMString fKeyText;
  std::int32_t fType = 0;
  std::int32_t fSelected = 0;
};
