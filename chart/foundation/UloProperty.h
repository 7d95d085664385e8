// The one way a setting changes: compare, store, and tell whoever repaints,
// only when the value is really new.
#pragma once

#include <functional>
#include <utility>

// Something that repaints when one of its settings changes (a chart panel).
class IUloInvalidate {
public:
  virtual void Invalidate() = 0;

protected:
  ~IUloInvalidate() = default;
};

// A change notification of a pen, brush, font or other owned setting.
using TUloChangeEvent = std::function<void()>;

// Stores Value into Field when they differ and then runs Changed. Returns
// whether anything changed.
template <class T, class U, class Notify> bool UloSetProperty(T &field, U &&value, Notify &&changed) {
  if (field == value) return false;
  field = std::forward<U>(value);
  changed();
  return true;
}

// The same without a notification, for setters that notify in their own way.
template <class T, class U> bool UloStoreIfChanged(T &field, U &&value) {
  if (field == value) return false;
  field = std::forward<U>(value);
  return true;
}
