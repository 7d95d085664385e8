// Forms and their controls. Every control lives in a parent that owns it
// and is placed in the parent's client area by Left/Top/Width/Height or by
// an alignment. Events are plain functions fired through Dispatch, so an
// exception in a handler reaches the error box, never the caller.
//
// Every class here can be stored in a window definition: a form reads its
// own definition, which makes its controls, menu and dialogs; the program
// then binds the handlers by the components' names.
#pragma once

#include "platform/streaming/Persistent.h"

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

class TControl : public streaming::TStoredComponent {
public:
  ~TControl() override;
  TControl(const TControl &) = delete;
  TControl &operator=(const TControl &) = delete;

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
  int FontSize() const { return fontSize_; }
  void SetFontSize(int points);
  bool FontBold() const { return fontBold_; }
  void SetFontBold(bool bold);

  // The Qt widget, for platform code only.
  QWidget *Widget() const { return widget_; }

  void DefineProperties(streaming::TPropertyTable &table) override;

protected:
  // parent may be nullptr for a control a definition makes; its parent
  // then takes it in.
  TControl(TWinControl *parent, QWidget *widget);

private:
  friend class TWinControl;
  TWinControl *parent_;
  QWidget *widget_;
  TAlign align_ = TAlign::alNone;
  int cursor_ = 0;
  int fontSize_ = 0;
  bool fontBold_ = false;
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

  void InsertStoredChild(std::unique_ptr<streaming::TStoredComponent> child) override;
  std::vector<streaming::TStoredComponent *> StoredChildren() override;

protected:
  TWinControl(TWinControl *parent, QWidget *widget);
  void Adopt(std::unique_ptr<TControl> child);

private:
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
  std::string_view ClassName() const override { return "TForm"; }

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

  // Components without a window (dialogs, image lists), owned by the form.
  template <class T> T *MakeComponent() {
    auto made = std::make_unique<T>();
    T *raw = made.get();
    components_.push_back(std::move(made));
    return raw;
  }

  QWidget *ClientWidget() const override;

  // Reads the form's own definition: its properties and everything in it.
  // Raises streaming::EDefinitionError naming the line on a fault.
  void ReadDefinition(std::string_view text);
  // The component of this form with that name and class; raises
  // rtl::Exception naming it when there is none, so a definition that
  // lacks a control the code binds fails at start-up, not later.
  template <class T> T *Find(std::string_view name) {
    auto *found = dynamic_cast<T *>(streaming::FindComponent(*this, name));
    if (!found) MissingComponent(name);
    return found;
  }

  void DefineProperties(streaming::TPropertyTable &table) override;
  void InsertStoredChild(std::unique_ptr<streaming::TStoredComponent> child) override;
  std::vector<streaming::TStoredComponent *> StoredChildren() override;

  // Fired each time the window is shown (not when it comes back from
  // being minimised).
  TNotifyEvent OnShow;

private:
  [[noreturn]] void MissingComponent(std::string_view name) const;
  class FormWidget;
  FormWidget *form_;
  std::unique_ptr<TMainMenu> menu_;
  std::vector<std::unique_ptr<streaming::TStoredComponent>> components_;
  bool outerSized_ = false;
};

// ---- Simple controls --------------------------------------------------------

class TPanel : public TWinControl {
public:
  explicit TPanel(TWinControl *parent = nullptr);
  std::string_view ClassName() const override { return "TPanel"; }
};

class TGroupBox : public TWinControl {
public:
  explicit TGroupBox(TWinControl *parent = nullptr, const std::string &caption = "");
  std::string_view ClassName() const override { return "TGroupBox"; }
  std::string Caption() const;
  void SetCaption(const std::string &caption);
  void DefineProperties(streaming::TPropertyTable &table) override;
};

// A text that sizes itself to its caption unless AutoSize is off.
class TLabel : public TControl {
public:
  explicit TLabel(TWinControl *parent = nullptr, const std::string &caption = "");
  std::string_view ClassName() const override { return "TLabel"; }
  std::string Caption() const;
  void SetCaption(const std::string &caption);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);
  // Lets a long caption break into lines within the label's width.
  bool WordWrap() const;
  void SetWordWrap(bool wrap);
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  bool autoSize_ = true;
};

class TEdit : public TControl {
public:
  explicit TEdit(TWinControl *parent = nullptr, const std::string &text = "");
  std::string_view ClassName() const override { return "TEdit"; }
  void DefineProperties(streaming::TPropertyTable &table) override;
  std::string Text() const;
  void SetText(const std::string &text);
  // Fired when the text changes, by typing or by SetText.
  TNotifyEvent OnChange;
};

class TButton : public TControl {
public:
  explicit TButton(TWinControl *parent = nullptr, const std::string &caption = "");
  std::string_view ClassName() const override { return "TButton"; }
  void DefineProperties(streaming::TPropertyTable &table) override;
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
  explicit TRadioButton(TWinControl *parent = nullptr, const std::string &caption = "");
  std::string_view ClassName() const override { return "TRadioButton"; }
  void DefineProperties(streaming::TPropertyTable &table) override;
  std::string Caption() const;
  void SetCaption(const std::string &caption);
  bool Checked() const;
  void SetChecked(bool checked);
  TNotifyEvent OnClick;
};

// A whole number kept within MinValue..MaxValue, whether typed, stepped
// with the arrows or set by the program. OnChange fires each time the
// value changes, and only then.
class TSpinEdit : public TControl {
public:
  explicit TSpinEdit(TWinControl *parent = nullptr);
  std::string_view ClassName() const override { return "TSpinEdit"; }
  void DefineProperties(streaming::TPropertyTable &table) override;
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
  explicit TImage(TWinControl *parent = nullptr);
  std::string_view ClassName() const override { return "TImage"; }
  void DefineProperties(streaming::TPropertyTable &table) override;
  void SetPicture(const TRasterImage &picture);
  const TRasterImage &Picture() const { return picture_; }
  // A JPEG picture, kept as its bytes so a definition can store it.
  void SetJpeg(std::string bytes);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch);

private:
  void Refresh();
  TRasterImage picture_;
  std::string jpeg_;
  bool stretch_ = false;
};

// The pictures of a tool bar's buttons, all of one size.
class TImageList : public streaming::TStoredComponent {
public:
  explicit TImageList(int width = 16, int height = 16) : width_(width), height_(height) {}
  std::string_view ClassName() const override { return "TImageList"; }
  void DefineProperties(streaming::TPropertyTable &table) override;
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetWidth(int width);
  void SetHeight(int height);
  int Count() const { return static_cast<int>(images_.size()); }
  // Raises rtl::Exception when the picture is not of the list's size.
  void Add(TRasterImage image);
  const TRasterImage &Image(int index) const;

private:
  int width_, height_;
  std::vector<TRasterImage> images_;
};

// The actions a form's controls and menus may share. The windows here
// share none, so it holds nothing yet; a definition may still name one.
class TActionList : public streaming::TStoredComponent {
public:
  std::string_view ClassName() const override { return "TActionList"; }
};

class TToolBar : public TControl {
public:
  explicit TToolBar(TWinControl *parent = nullptr);
  std::string_view ClassName() const override { return "TToolBar"; }
  void DefineProperties(streaming::TPropertyTable &table) override;
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
class TMenuItem : public streaming::TStoredComponent {
public:
  TMenuItem();
  ~TMenuItem() override;
  TMenuItem(const TMenuItem &) = delete;
  TMenuItem &operator=(const TMenuItem &) = delete;
  std::string_view ClassName() const override { return "TMenuItem"; }
  void DefineProperties(streaming::TPropertyTable &table) override;
  void InsertStoredChild(std::unique_ptr<streaming::TStoredComponent> child) override;
  std::vector<streaming::TStoredComponent *> StoredChildren() override;

  const std::string &Caption() const { return caption_; }
  void SetCaption(const std::string &caption);
  TMenuItem *Add(const std::string &caption);
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem *Items(int index) const { return items_.at(static_cast<size_t>(index)).get(); }
  // The entry below whose caption is the one given, or nullptr.
  TMenuItem *Find(const std::string &caption) const;
  bool IsSeparator() const { return caption_ == "-"; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // As if the user chose the entry.
  void Click();
  TNotifyEvent OnClick;

private:
  friend class TMainMenu;
  struct Impl;
  // Puts the entry into a menu bar (as a menu of its own) or a menu.
  void AttachTo(QWidget *container, bool asMenu);
  void Insert(std::unique_ptr<TMenuItem> item);
  void ShowCaption();
  std::string caption_;
  bool enabled_ = true;
  std::vector<std::unique_ptr<TMenuItem>> items_;
  std::unique_ptr<Impl> impl_;
};

// The menu bar of a form; its entries are menus.
class TMainMenu : public streaming::TStoredComponent {
public:
  TMainMenu();
  ~TMainMenu() override;
  std::string_view ClassName() const override { return "TMainMenu"; }
  void InsertStoredChild(std::unique_ptr<streaming::TStoredComponent> child) override;
  std::vector<streaming::TStoredComponent *> StoredChildren() override;

  TMenuItem *Add(const std::string &caption);
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem *Items(int index) const { return items_.at(static_cast<size_t>(index)).get(); }
  TMenuItem *Find(const std::string &caption) const;

private:
  friend class TForm;
  void AttachBar(QWidget *menuBar);
  QWidget *bar_ = nullptr;
  std::vector<std::unique_ptr<TMenuItem>> items_;
};

// Registers every class of this folder for window definitions, and removes them.
void RegisterFormClasses();
void UnregisterFormClasses();

} // namespace forms
