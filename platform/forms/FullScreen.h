// A borderless window of the screen's size that shows one control of
// another window for a while and then gives it back. The window sees every
// key pressed in it first (key preview), as a virtual-key code.
#pragma once

#include <functional>
#include <memory>

namespace forms {

class TControl;

// The virtual-key code of a Qt key (Qt::Key), 0 for keys without one.
int VirtualKeyOfQtKey(int qtKey);

class TFullScreenWindow {
public:
  // Hidden, without owner, covering the primary screen.
  TFullScreenWindow();
  // Gives a hosted control back first: the window never takes it along.
  ~TFullScreenWindow();
  TFullScreenWindow(const TFullScreenWindow &) = delete;
  TFullScreenWindow &operator=(const TFullScreenWindow &) = delete;

  // The screen rectangle the window covers.
  static void ScreenBounds(int &left, int &top, int &width, int &height);

  // Moves the control into the window; where it was is kept for GiveBack.
  // Its bounds and alignment stay the caller's business.
  void Host(TControl &control);
  // Puts the hosted control back into the place it came from, or into no
  // window when that place is gone.
  void GiveBack();
  // Null when nothing is hosted, or the hosted control was freed.
  TControl *Hosted() const noexcept;

  void Show();
  bool Showing() const;
  // Closes the window as the user or the window system would.
  void Close();

  // Free for the owner's use (the full-screen tool keeps itself here).
  const void *Tag = nullptr;
  // A key pressed anywhere in the window, before the control gets it;
  // returning true swallows it.
  std::function<bool(int virtualKey)> OnKeyDown;
  // The window is being closed. Afterwards the window frees itself (from
  // the event loop): whoever holds it must forget it here.
  std::function<void()> OnClose;

private:
  class Widget;
  class KeyFilter;
  void Closing();

  std::unique_ptr<Widget> widget_;
  std::unique_ptr<KeyFilter> filter_;
  TControl *hosted_ = nullptr;
  struct TPlace;
  std::unique_ptr<TPlace> place_;
  bool freeing_ = false;
};

} // namespace forms
