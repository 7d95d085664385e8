// The one way a setting changes: compare, store, and tell whoever repaints,
// only when the value is really new.
#pragma once

#include <functional>
#include <memory>
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

// Null frees a part made on first read, running Changed when there was one;
// an object is copied into the part, which Get makes when missing.
template <class T, class V, class Get, class Notify>
void UloSetLazyPart(std::unique_ptr<T> &part, const V *value, Get &&get, Notify &&changed) {
  if (!value) {
    if (!part) return;
    part.reset();
    changed();
    return;
  }
  if (value != part.get()) get().Assign(*value);
}

// The same without a notification, for setters that notify in their own way.
template <class T, class U> bool UloStoreIfChanged(T &field, U &&value) {
  if (field == value) return false;
  field = std::forward<U>(value);
  return true;
}
