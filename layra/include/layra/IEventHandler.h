#pragma once
// Input events. Each widget boss may keep an event handler; a handler may pass an event on
// to another one (a tree row's handler to the host's standard row handler, say).

#include <layra/CPMUnknown.h>
#include <layra/PMPoint.h>
#include <layra/WidgetDefs.h>

/** One input event. */
class IEvent {
public:
  enum class Type { kMouseDown, kMouseUp, kDoubleClick, kKeyDown };
  enum Modifier : std::uint32_t { kNone = 0, kShift = 1, kCommand = 2 };

  IEvent(Type type, GSysPoint point, std::uint32_t modifiers = kNone, char key = 0)
      : fType(type), fPoint(point), fModifiers(modifiers), fKey(key) {}
  Type GetType() const { return fType; }
  GSysPoint GlobalWhere() const { return fPoint; }
  bool16 ShiftKeyDown() const { return (fModifiers & kShift) != 0; }
  bool16 CmdKeyDown() const { return (fModifiers & kCommand) != 0; }
  char GetChar() const { return fKey; }

private:
  Type fType;
  GSysPoint fPoint;
  std::uint32_t fModifiers;
  char fKey;
};

/** Every operation answers whether it handled the event. */
class IEventHandler : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IEVENTHANDLER;

  virtual bool16 Activate(IEvent* e) = 0;
  virtual bool16 Deactivate(IEvent* e) = 0;
  virtual bool16 Suspend(IEvent* e) = 0;
  virtual bool16 Resume(IEvent* e) = 0;
  virtual bool16 MouseMove(IEvent* e) = 0;
  virtual bool16 MouseDrag(IEvent* e) = 0;
  virtual bool16 LButtonDn(IEvent* e) = 0;
  virtual bool16 RButtonDn(IEvent* e) = 0;
  virtual bool16 MButtonDn(IEvent* e) = 0;
  virtual bool16 LButtonUp(IEvent* e) = 0;
  virtual bool16 RButtonUp(IEvent* e) = 0;
  virtual bool16 MButtonUp(IEvent* e) = 0;
  virtual bool16 LDoubleClick(IEvent* e) = 0;
  virtual bool16 KeyDown(IEvent* e) = 0;
  virtual bool16 KeyUp(IEvent* e) = 0;
};

/** Handles nothing; subclasses override what they need. */
class CEventHandler : public CPMUnknown<IEventHandler> {
public:
  explicit CEventHandler(IPMUnknown* boss) : CPMUnknown<IEventHandler>(boss) {}

  bool16 Activate(IEvent*) override { return kFalse; }
  bool16 Deactivate(IEvent*) override { return kFalse; }
  bool16 Suspend(IEvent*) override { return kFalse; }
  bool16 Resume(IEvent*) override { return kFalse; }
  bool16 MouseMove(IEvent*) override { return kFalse; }
  bool16 MouseDrag(IEvent*) override { return kFalse; }
  bool16 LButtonDn(IEvent*) override { return kFalse; }
  bool16 RButtonDn(IEvent*) override { return kFalse; }
  bool16 MButtonDn(IEvent*) override { return kFalse; }
  bool16 LButtonUp(IEvent*) override { return kFalse; }
  bool16 RButtonUp(IEvent*) override { return kFalse; }
  bool16 MButtonUp(IEvent*) override { return kFalse; }
  bool16 LDoubleClick(IEvent*) override { return kFalse; }
  bool16 KeyDown(IEvent*) override { return kFalse; }
  bool16 KeyUp(IEvent*) override { return kFalse; }
};
