// Event closures: a member function of a window or dialog bound to one of
// its widgets' events. The host hands the closure's address back with every
// event (the registration's "pointer"); EventCallback finds the closure in
// the target widget's handler list and invokes it.
//
// A closure refers to its owner by pointer and by widget id. It calls the
// owner only while the registry still maps that id to that owner, so an
// event that arrives after the owner was destroyed calls nothing. Closures
// are shared (std::shared_ptr, whose counts are atomic) between the
// widget's handler list and an event that is running.
#pragma once

#include <typeinfo>

#include "hostapi/mq_types.h"
#include "plugin/widgets/mouse_state.h"
#include "plugin/widgets/widget_base.h"
#include "plugin/widgets/widget_registry.h"

namespace pavlex {

class MQWidgetEventClosureBase {
 public:
  virtual ~MQWidgetEventClosureBase() = default;

  // Calls the handler with the event's sender (possibly null) and document.
  // `event` is the decoded record of event kinds that have one (MouseState
  // for mouse events) and null otherwise. Answers false, calling nothing,
  // when the owner is gone.
  virtual bool Invoke(MQWidgetBase* sender, MQDocument document, void* event) = 0;
  // Same closure class, same owner, same handler.
  virtual bool Equals(const MQWidgetEventClosureBase& other) const = 0;
  virtual MQWidgetBase* Owner() const = 0;
  // An address unique to the bound handler, passed to the host as the
  // registration's "function".
  virtual const void* HandlerIdentity() const = 0;
};

// Shared by both closure kinds: owner bookkeeping and the liveness check.
template <class OwnerClass, class HandlerType>
class MQWidgetClosureOf : public MQWidgetEventClosureBase {
 public:
  MQWidgetClosureOf(OwnerClass* owner, HandlerType handler)
      : owner_(owner), ownerAddress_(owner), ownerId_(owner->GetID()), handler_(handler) {}

  bool Equals(const MQWidgetEventClosureBase& other) const override {
    if (typeid(other) != typeid(*this)) return false;
    const auto& same = static_cast<const MQWidgetClosureOf&>(other);
    return same.owner_ == owner_ && same.handler_ == handler_;
  }
  MQWidgetBase* Owner() const override { return OwnerIfAlive(); }
  const void* HandlerIdentity() const override { return &handler_; }

 protected:
  // The owner when the registry still holds it under its id, else null.
  // Only the address taken while the owner was alive is compared, so a
  // destroyed owner is never touched.
  OwnerClass* OwnerIfAlive() const {
    if (ownerId_ == 0 || WidgetRegistry::Instance().Find(ownerId_) != ownerAddress_) return nullptr;
    return owner_;
  }

  OwnerClass* owner_;
  const MQWidgetBase* ownerAddress_;
  int32_t ownerId_;
  HandlerType handler_;
};

template <class OwnerClass>
class MQWidgetEventClosure
    : public MQWidgetClosureOf<OwnerClass, bool (OwnerClass::*)(MQWidgetBase*, MQDocument)> {
  using Base = MQWidgetClosureOf<OwnerClass, bool (OwnerClass::*)(MQWidgetBase*, MQDocument)>;

 public:
  using Handler = bool (OwnerClass::*)(MQWidgetBase* sender, MQDocument document);
  MQWidgetEventClosure(OwnerClass* owner, Handler handler) : Base(owner, handler) {}

  bool Invoke(MQWidgetBase* sender, MQDocument document, void*) override {
    OwnerClass* owner = this->OwnerIfAlive();
    if (owner == nullptr) return false;
    return (owner->*(this->handler_))(sender, document);
  }
};

template <class OwnerClass>
class MQWidgetMouseEventClosure
    : public MQWidgetClosureOf<OwnerClass, bool (OwnerClass::*)(MQWidgetBase*, MQDocument, MouseState&)> {
  using Base = MQWidgetClosureOf<OwnerClass, bool (OwnerClass::*)(MQWidgetBase*, MQDocument, MouseState&)>;

 public:
  using Handler = bool (OwnerClass::*)(MQWidgetBase* sender, MQDocument document, MouseState& state);
  MQWidgetMouseEventClosure(OwnerClass* owner, Handler handler) : Base(owner, handler) {}

  bool Invoke(MQWidgetBase* sender, MQDocument document, void* event) override {
    OwnerClass* owner = this->OwnerIfAlive();
    if (owner == nullptr) return false;
    // Bound to an event without a mouse record: the handler sees no button
    // and no key.
    MouseState none;
    MouseState& state = event != nullptr ? *static_cast<MouseState*>(event) : none;
    return (owner->*(this->handler_))(sender, document, state);
  }
};

}  // namespace pavlex
