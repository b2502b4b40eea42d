#pragma once
// How a tree view names its nodes: a NodeID holds one immutable NodeIDClass that the
// hierarchy adapter made. An empty NodeID (kInvalidNodeID) names no node.

#include <layra/PMString.h>
#include <layra/WidgetDefs.h>

#include <memory>

class IPMStream;

using NodeType = WidgetID;

class NodeIDClass {
public:
  virtual ~NodeIDClass() = default;
  virtual NodeType GetNodeType() const = 0;
  /** Negative, zero or positive; only called with a node of the same type. */
  virtual std::int32_t Compare(const NodeIDClass* other) const = 0;
  virtual NodeIDClass* Clone() const = 0;
  virtual void Read(IPMStream* stream) = 0;
  virtual void Write(IPMStream* stream) const = 0;
  virtual PMString GetDescription() const {
    return PMString("Override NodeID::GetDescription() to provide useful information here",
                    PMString::kDontTranslateDuringCall);
  }
};

class NodeID {
public:
  NodeID() = default;
  /** Adopts a node the caller made with new. */
  NodeID(NodeIDClass* adopted) : fNode(adopted) {}

  const NodeIDClass* Get() const { return fNode.get(); }
  bool IsValid() const { return fNode != nullptr; }
  NodeType GetNodeType() const { return fNode ? fNode->GetNodeType() : kInvalidWidgetID; }

  friend bool operator==(const NodeID& a, const NodeID& b) { return Order(a, b) == 0; }
  friend bool operator<(const NodeID& a, const NodeID& b) { return Order(a, b) < 0; }

private:
  static std::int32_t Order(const NodeID& a, const NodeID& b) {
    if (!a.fNode || !b.fNode)
      return (a.fNode ? 1 : 0) - (b.fNode ? 1 : 0);
    const auto typeA = a.GetNodeType().Get(), typeB = b.GetNodeType().Get();
    if (typeA != typeB)
      return typeA < typeB ? -1 : 1;
    return a.fNode->Compare(b.fNode.get());
  }

  std::shared_ptr<const NodeIDClass> fNode;
};

inline const NodeID kInvalidNodeID{};

/** The node behind a NodeID as its own class; null when it is of another class. */
template <class T> class TreeNodePtr {
public:
  explicit TreeNodePtr(const NodeID& node)
      : fHold(node), fNode(dynamic_cast<const T*>(node.Get())) {}
  const T* operator->() const { return fNode; }
  const T* get() const { return fNode; }
  explicit operator bool() const { return fNode != nullptr; }

private:
  NodeID fHold;
  const T* fNode;
};

/** The node of a list: a row's position, 0-based. */
class LAYRA_API IntNodeID : public NodeIDClass {
public:
  static constexpr NodeType kNodeType{0x66E};
  static NodeID Create(std::int32_t value) { return NodeID(new IntNodeID(value)); }
  explicit IntNodeID(std::int32_t value) : fValue(value) {}
  ~IntNodeID() override;

  std::int32_t Get() const { return fValue; }
  NodeType GetNodeType() const override { return kNodeType; }
  std::int32_t Compare(const NodeIDClass* other) const override;
  NodeIDClass* Clone() const override { return new IntNodeID(fValue); }
  void Read(IPMStream* stream) override;
  void Write(IPMStream* stream) const override;
  PMString GetDescription() const override;

private:
  std::int32_t fValue;
};
