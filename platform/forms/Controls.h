// Forms and their controls. Every control lives in a parent that owns it
// and is placed in the parent's client area by Left/Top/Width/Height or by
// an alignment. Events are plain functions fired through Dispatch, so an
// exception in a handler reaches the error box, never the caller.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace forms {

class TWinControl;
class TMainMenu;

using TNotifyEvent = std::function<void()>;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// A picture in memory: width * height pixels, row by row, 0xAARRGGBB.
struct TRasterImage {
  int Width = 0, Height = 0;
  std::vector<uint32_t> Pixels;
};

// ---- Base classes -----------------------------------------------------------

class TControl {
public:
  virtual ~TControl();
  TControl(const TControl &) = delete;
  TControl &operator=(const TControl &) = delete;

  const std::string &Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  TWinControl *Parent() const { return parent_; }

  int Left() const;
  int Top() const;
  int Width() const;
  int Height() const;
  void SetBounds(int left, int top, int width, int height);

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);

  // The control's own visibility; a control inside a hidden form still
  // counts as visible.
  bool Visible() const;
  void SetVisible(bool visible);
  bool Enabled() const;
  void SetEnabled(bool enabled);

  // A number of the cursor table.
  int Cursor() const { return cursor_; }
  void SetCursor(int number);

  // Font size in points at 96 dpi; 0 keeps the window font.
  void SetFontSize(int points);
  void SetFontBold(bool bold);

  // The Qt widget, for platform code only.
  QWidget *Widget() const { return widget_; }

protected:
  TControl(TWinControl *parent, QWidget *widget);

private:
  TWinControl *parent_;
  QWidget *widget_;
  std::string name_;
  TAlign align_ = TAlign::alNone;
  int cursor_ = 0;
};

// A control that holds other controls and owns them.
class TWinControl : public TControl {
public:
  ~TWinControl() override;

  // Makes a child control owned by this one.
  template <class T, class... Args> T *Make(Args &&...args) {
    T *child = new T(this, std::forward<Args>(args)...);
    Adopt(std::unique_ptr<TControl>(child));
    return child;
  }
  const std::vector<TControl *> &Controls() const { return children_; }
  // The widget children are placed in.
  virtual QWidget *ClientWidget() const { return Widget(); }
  // Places the aligned children in the client area again.
  void Realign();

protected:
  TWinControl(TWinControl *parent, QWidget *widget);

private:
  void Adopt(std::unique_ptr<TControl> child);
  std::vector<std::unique_ptr<TControl>> owned_;
  std::vector<TControl *> children_;
};

// ---- Forms ------------------------------------------------------------------

// A top-level window with a fixed single border, the system menu and the
// minimise button only. Forms are made hidden; Show brings an open one to
// the front. Closing the main form ends the program; closing another form
// hides it and keeps its contents.
class TForm : public TWinControl {
public:
  TForm();
  ~TForm() override;

  std::string Caption() const;
  void SetCaption(const std::string &caption);

  // The client area: the window without its frame and menu bar.
  int ClientWidth() const;
  int ClientHeight() const;
  void SetClientSize(int width, int height);
  // Sizes given with the window frame; the client is what remains inside a
  // fixed single frame of kFrameWidth by kFrameHeight.
  static constexpr int kFrameWidth = 6;
  static constexpr int kFrameHeight = 25;
  void SetOuterSize(int width, int height);

  void Show();
  void Hide();
  void Close();
  bool Showing() const;

  TMainMenu *Menu() const { return menu_.get(); }
  // Gives the form its menu bar (once).
  TMainMenu *CreateMainMenu();

  QWidget *ClientWidget() const override;

  // Fired each time the window is shown (not when it comes back from
  // being minimised).
  TNotifyEvent OnShow;

private:
  class FormWidget;
  FormWidget *form_;
  std::unique_ptr<TMainMenu> menu_;
};

// ---- Simple controls --------------------------------------------------------

class TPanel : public TWinControl {
public:
  explicit TPanel(TWinControl *parent);
};

class TGroupBox : public TWinControl {
public:
  TGroupBox(TWinControl *parent, const std::string &caption);
  std::string Caption() const;
  void SetCaption(const std::string &caption);
};

// A text that sizes itself to its caption unless AutoSize is off.
class TLabel : public TControl {
public:
  TLabel(TWinControl *parent, const std::string &caption);
  std::string Caption() const;
  void SetCaption(const std::string &caption);
  void SetAutoSize(bool autoSize);
  // Lets a long caption break into lines within the label's width.
  void SetWordWrap(bool wrap);

private:
  bool autoSize_ = true;
};

class TEdit : public TControl {
public:
  TEdit(TWinControl *parent, const std::string &text = "");
  std::string Text() const;
  void SetText(const std::string &text);
  // Fired when the text changes, by typing or by SetText.
  TNotifyEvent OnChange;
};

class TButton : public TControl {
public:
  TButton(TWinControl *parent, const std::string &caption);
  std::string Caption() const;
  void SetCaption(const std::string &caption);
  // As if the user clicked the button.
  void Click();
  TNotifyEvent OnClick;
};

// Radio buttons with the same parent exclude one another; all of them may
// be unchecked.
class TRadioButton : public TControl {
public:
  TRadioButton(TWinControl *parent, const std::string &caption);
  std::string Caption() const;
  bool Checked() const;
  void SetChecked(bool checked);
  TNotifyEvent OnClick;
};

// A whole number kept within MinValue..MaxValue, whether typed, stepped
// with the arrows or set by the program. OnChange fires each time the
// value changes, and only then.
class TSpinEdit : public TControl {
public:
  explicit TSpinEdit(TWinControl *parent);
  int Value() const;
  void SetValue(int value);
  int MinValue() const;
  int MaxValue() const;
  void SetMinValue(int value);
  void SetMaxValue(int value);
  TNotifyEvent OnChange;
};

// Shows a picture at its top-left corner, or stretched to its size.
class TImage : public TControl {
public:
  explicit TImage(TWinControl *parent);
  void SetPicture(const TRasterImage &picture);
  const TRasterImage &Picture() const { return picture_; }
  void SetStretch(bool stretch);

private:
  void Refresh();
  TRasterImage picture_;
  bool stretch_ = false;
};

// The pictures of a tool bar's buttons, all of one size.
class TImageList {
public:
  TImageList(int width = 16, int height = 16) : width_(width), height_(height) {}
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Count() const { return static_cast<int>(images_.size()); }
  // Raises rtl::Exception when the picture is not of the list's size.
  void Add(TRasterImage image);
  const TRasterImage &Image(int index) const;

private:
  int width_, height_;
  std::vector<TRasterImage> images_;
};

class TToolBar : public TControl {
public:
  explicit TToolBar(TWinControl *parent);
  // Buttons take their size from the image list; the list is not owned.
  void SetImages(const TImageList *images);
  const TImageList *Images() const { return images_; }
  // A button showing picture imageIndex of the list (-1 for none).
  void AddButton(const std::string &hint, int imageIndex, TNotifyEvent onClick);
  int ButtonCount() const { return buttons_; }

private:
  const TImageList *images_ = nullptr;
  int buttons_ = 0;
};

// ---- Menus ------------------------------------------------------------------

// A menu entry; the caption "-" makes a separator line.
class TMenuItem {
public:
  ~TMenuItem();
  TMenuItem(const TMenuItem &) = delete;
  TMenuItem &operator=(const TMenuItem &) = delete;

  const std::string &Caption() const { return caption_; }
  const std::string &Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  TMenuItem *Add(const std::string &caption);
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem *Items(int index) const { return items_.at(static_cast<size_t>(index)).get(); }
  // The entry below whose caption is the one given, or nullptr.
  TMenuItem *Find(const std::string &caption) const;
  bool IsSeparator() const { return caption_ == "-"; }
  void SetEnabled(bool enabled);
  // As if the user chose the entry.
  void Click();
  TNotifyEvent OnClick;

private:
  friend class TMainMenu;
  struct Impl;
  TMenuItem(std::string caption, std::unique_ptr<Impl> impl);
  std::string caption_, name_;
  std::vector<std::unique_ptr<TMenuItem>> items_;
  std::unique_ptr<Impl> impl_;
};

class TMainMenu {
public:
  ~TMainMenu();
  TMenuItem *Add(const std::string &caption);
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem *Items(int index) const { return items_.at(static_cast<size_t>(index)).get(); }
  TMenuItem *Find(const std::string &caption) const;

private:
  friend class TForm;
  explicit TMainMenu(QWidget *menuBar);
  QWidget *bar_;
  std::vector<std::unique_ptr<TMenuItem>> items_;
};

} // namespace forms
