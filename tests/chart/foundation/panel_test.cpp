// The chart panel in a real (offscreen) window: the chart rectangle, the
// listener chain, mouse events from the window, repaints only on real
// changes, feedback drawn between paints, and the stored keys.
#include "chart/foundation/TestPanel.h"
#include "platform/forms/Cursors.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using foundation_test::TTestPanel;

class PanelTest : public foundation_test::WithApplication {
protected:
  // A shown form holding one panel, painted once.
  TTestPanel *ShownPanel() {
    auto *form = forms::Application().CreateForm<forms::TForm>();
    form->SetClientSize(420, 270);
    auto *panel = form->Make<TTestPanel>();
    panel->SetBounds(10, 10, 400, 250);
    form->Show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form->Widget()));
    Settle();
    return panel;
  }
  static void Settle() {
    for (int i = 0; i < 3; ++i)
      forms::Application().ProcessMessages();
  }
};

TColor ColorOf(const QImage &image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return RGBColor(qRed(p), qGreen(p), qBlue(p));
}

TRect DrawOnce(TTestPanel &panel) {
  gdi::Bitmap target(panel.Width(), panel.Height());
  panel.Draw(&target.DC(), TRect{0, 0, panel.Width(), panel.Height()});
  return panel.ChartRect;
}

TEST_F(PanelTest, ChartRectAfterMarginsFramesAndShadow) {
  struct Case {
    const char *name;
    TUloUnits units;
    TUloMargins margins;
    TBevelCut outer, inner;
    int bevelWidth, borderWidth, penWidth, shadowH, shadowV;
    TRect expected;
  };
  const auto pct = TUloUnits::muPercent, px = TUloUnits::muPixels;
  const auto none = TBevelCut::bvNone, raised = TBevelCut::bvRaised, lowered = TBevelCut::bvLowered;
  const Case cases[] = {
      {"default margins, no frames", pct, {3, 4, 3, 4}, none, none, 1, 0, 0, 0, 0, {12, 10, 388, 240}},
      {"margins in pixels", px, {3, 4, 3, 4}, none, none, 1, 0, 0, 0, 0, {3, 4, 397, 246}},
      {"the default raised bevel", pct, {3, 4, 3, 4}, raised, none, 1, 0, 0, 0, 0, {13, 11, 387, 239}},
      {"two bevels and a border", pct, {3, 4, 3, 4}, raised, lowered, 2, 3, 0, 0, 0, {19, 17, 381, 233}},
      {"a border pen of width 2", pct, {3, 4, 3, 4}, none, none, 1, 0, 2, 0, 0, {14, 12, 386, 238}},
      {"shadow 3 right, 2 up", pct, {3, 4, 3, 4}, none, none, 1, 0, 0, 3, -2, {12, 14, 382, 240}},
      {"crossing margins: one pixel", pct, {60, 70, 60, 70}, none, none, 1, 0, 0, 0, 0, {240, 175, 241, 176}},
      {"meeting margins: the panel's width", pct, {50, 4, 50, 4}, none, none, 1, 0, 0, 0, 0, {200, 10, 600, 240}},
      {"negative margins stop at the panel", px, {-20, -20, 3, 4}, none, none, 1, 0, 0, 0, 0, {0, 0, 397, 246}},
  };
  for (const Case &c : cases) {
    TTestPanel panel;
    panel.SetMarginUnits(c.units);
    panel.SetMarginLeft(c.margins.Left);
    panel.SetMarginTop(c.margins.Top);
    panel.SetMarginRight(c.margins.Right);
    panel.SetMarginBottom(c.margins.Bottom);
    panel.SetBevelOuter(c.outer);
    panel.SetBevelInner(c.inner);
    panel.SetBevelWidth(c.bevelWidth);
    panel.SetBorderWidth(c.borderWidth);
    panel.Border().SetVisible(c.penWidth > 0);
    panel.Border().SetWidth(std::max(1, c.penWidth));
    panel.Shadow().SetHorizSize(c.shadowH);
    panel.Shadow().SetVertSize(c.shadowV);
    EXPECT_EQ(DrawOnce(panel), c.expected) << c.name;
    EXPECT_EQ(panel.ChartWidth, c.expected.Right - c.expected.Left) << c.name;
    EXPECT_EQ(panel.ChartHeight, c.expected.Bottom - c.expected.Top) << c.name;
    EXPECT_EQ(panel.ChartXCenter, (c.expected.Left + c.expected.Right) / 2) << c.name;
  }
}

TEST_F(PanelTest, TheWindowPaintsThePanelAndItsChartRect) {
  TTestPanel *panel = ShownPanel();
  EXPECT_EQ(panel->Draws, 1);
  EXPECT_EQ(panel->ChartRect, (TRect{13, 11, 387, 239}));
  const QImage shown = panel->Widget()->grab().toImage();
  // The raised bevel: highlight at the top-left, shadow at the bottom-right,
  // the button face inside.
  EXPECT_EQ(ColorOf(shown, 0, 0), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(ColorOf(shown, 200, 0), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(ColorOf(shown, 399, 249), ColorToRGB(clBtnShadow));
  EXPECT_EQ(ColorOf(shown, 399, 100), ColorToRGB(clBtnShadow));
  EXPECT_EQ(ColorOf(shown, 200, 120), ColorToRGB(clBtnFace));
  EXPECT_EQ(ColorOf(shown, 1, 1), ColorToRGB(clBtnFace));
}

// ---- listeners

struct Recorder : IUloEventListener {
  Recorder(std::string name, std::vector<std::string> &log) : Name(std::move(name)), Log(log) {}
  void UloEvent(TUloEvent &event) override {
    std::string kind = "view";
    if (auto *m = dynamic_cast<TUloMouseEvent *>(&event)) kind = std::to_string(m->Kind);
    Log.push_back(Name + ":" + kind);
    if (Action) Action(event);
  }
  std::string Name;
  std::vector<std::string> &Log;
  std::function<void(TUloEvent &)> Action;
};

TEST_F(PanelTest, MouseEventsFromTheWindowReachListenersInOrderUntilCancelled) {
  TTestPanel *panel = ShownPanel();
  std::vector<std::string> log;
  Recorder a("a", log), b("b", log), c("c", log);
  b.Action = [&](TUloEvent &e) {
    auto *m = dynamic_cast<TUloMouseEvent *>(&e);
    if (m && m->Kind == 0) e.Sender->CancelMouse = true;
  };
  std::vector<std::string> handlers;
  panel->OnMouseDown = [&](forms::TMouseButton, forms::TShiftState, int x, int y) {
    handlers.push_back("down " + std::to_string(x) + "," + std::to_string(y));
  };
  for (Recorder *r : {&a, &b, &c})
    panel->Listeners().Add(r);

  QTest::mousePress(panel->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 40));
  EXPECT_EQ(log, (std::vector<std::string>{"a:0", "b:0"}));
  EXPECT_EQ(handlers, (std::vector<std::string>{"down 30,40"}));
  // Released outside: no click clears the flag, so the release stops after
  // the first listener as well.
  log.clear();
  QTest::mouseRelease(panel->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(450, 40));
  EXPECT_EQ(log, (std::vector<std::string>{"a:1"}));
  // A move starts afresh and reaches everyone, as a left-button event in
  // the window's coordinates.
  log.clear();
  TUloMouseEvent seen;
  c.Action = [&](TUloEvent &e) { seen = dynamic_cast<TUloMouseEvent &>(e); };
  QTest::mouseMove(panel->Widget(), QPoint(60, 70));
  EXPECT_EQ(log, (std::vector<std::string>{"a:2", "b:2", "c:2"}));
  EXPECT_EQ(seen.Button, forms::TMouseButton::mbLeft);
  EXPECT_EQ(seen.X, 60);
  EXPECT_EQ(seen.Y, 70);
  EXPECT_EQ(seen.Sender, panel);
  c.Action = nullptr;
  // The view event reaches everyone even when a listener cancels.
  log.clear();
  a.Action = [](TUloEvent &e) { e.Sender->CancelMouse = true; };
  panel->SetView3D(false);
  EXPECT_EQ(log, (std::vector<std::string>{"a:view", "b:view", "c:view"}));
  // The same value again: no event.
  log.clear();
  panel->SetView3D(false);
  EXPECT_TRUE(log.empty());
  for (Recorder *r : {&a, &b, &c})
    panel->Listeners().Remove(r);
}

TEST_F(PanelTest, ACancelledClickEndsTheRelease) {
  TTestPanel *panel = ShownPanel();
  std::vector<std::string> log;
  Recorder r("r", log);
  panel->Listeners().Add(&r);
  int clicks = 0;
  panel->OnClick = [&] {
    ++clicks;
    panel->CancelMouse = true;
  };
  QTest::mouseClick(panel->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(log, (std::vector<std::string>{"r:0"}));
  panel->OnClick = [&] { ++clicks; };
  log.clear();
  QTest::mouseClick(panel->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(log, (std::vector<std::string>{"r:0", "r:1"}));
  panel->Listeners().Remove(&r);
}

TEST_F(PanelTest, ListenersRemovedDuringABroadcastSkipNoOne) {
  struct Case {
    const char *name;
    int remover;              // the listener that removes
    std::vector<int> victims; // whom it removes
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"itself", 1, {1}, {"0:view", "1:view", "2:view", "3:view"}},
      {"the one before it", 2, {1}, {"0:view", "1:view", "2:view", "3:view"}},
      {"the next one", 1, {2}, {"0:view", "1:view", "3:view"}},
      {"everyone", 0, {0, 1, 2, 3}, {"0:view"}},
      {"the last one, itself first", 3, {3, 0}, {"0:view", "1:view", "2:view", "3:view"}},
  };
  for (const Case &c : cases) {
    TTestPanel panel;
    std::vector<std::string> log;
    std::vector<std::unique_ptr<Recorder>> rs;
    for (int i = 0; i < 4; ++i)
      rs.push_back(std::make_unique<Recorder>(std::to_string(i), log));
    rs[static_cast<size_t>(c.remover)]->Action = [&](TUloEvent &) {
      for (int v : c.victims)
        panel.Listeners().Remove(rs[static_cast<size_t>(v)].get());
    };
    for (auto &r : rs)
      panel.Listeners().Add(r.get());
    panel.SetView3D(false);
    EXPECT_EQ(log, c.expected) << c.name;
    EXPECT_EQ(panel.Listeners().Count(), 4 - static_cast<int>(c.victims.size())) << c.name;
    // The next broadcast sees exactly the ones left.
    log.clear();
    rs[static_cast<size_t>(c.remover)]->Action = nullptr;
    panel.SetView3D(true);
    EXPECT_EQ(log.size(), 4 - c.victims.size()) << c.name;
  }
}

// ---- repaints

TEST_F(PanelTest, OnlyRealChangesRepaint) {
  TTestPanel *panel = ShownPanel();
  struct Case {
    const char *name;
    std::function<void()> same, changed;
  };
  const std::vector<Case> cases = {
      {"MarginLeft", [&] { panel->SetMarginLeft(3); }, [&] { panel->SetMarginLeft(7); }},
      {"MarginUnits", [&] { panel->SetMarginUnits(TUloUnits::muPercent); },
       [&] { panel->SetMarginUnits(TUloUnits::muPixels); }},
      {"View3D", [&] { panel->SetView3D(true); }, [&] { panel->SetView3D(false); }},
      {"BorderRound", [&] { panel->SetBorderRound(0); }, [&] { panel->SetBorderRound(12); }},
      {"Color", [&] { panel->SetColor(clBtnFace); }, [&] { panel->SetColor(clAqua); }},
      {"Border pen", [&] { panel->Border().SetVisible(false); }, [&] { panel->Border().SetVisible(true); }},
      {"Shadow", [&] { panel->Shadow().SetHorizSize(0); }, [&] { panel->Shadow().SetHorizSize(4); }},
      {"gradient", [&] { panel->Gradient().SetVisible(false); }, [&] { panel->Gradient().SetVisible(true); }},
  };
  for (const Case &c : cases) {
    const int before = panel->Draws;
    c.same();
    Settle();
    EXPECT_EQ(panel->Draws, before) << c.name;
    c.changed();
    Settle();
    EXPECT_EQ(panel->Draws, before + 1) << c.name;
  }
  // While AutoRepaint is off nothing repaints at all.
  panel->SetAutoRepaint(false);
  const int before = panel->Draws;
  panel->SetMarginTop(20);
  Settle();
  EXPECT_EQ(panel->Draws, before);
  panel->SetAutoRepaint(true);
  // A resize draws again, at the new size.
  panel->SetBounds(10, 10, 300, 200);
  Settle();
  EXPECT_EQ(panel->Draws, before + 1);
  EXPECT_EQ(panel->PanelBounds, (TRect{0, 0, 300, 200}));
}

TEST_F(PanelTest, FeedbackDrawnBetweenPaintsShowsAndErasesItself) {
  TTestPanel *panel = ShownPanel();
  // Not-xor in white over the button face shows as white.
  const int draws = panel->Draws;
  const QImage before = panel->Widget()->grab().toImage();
  panel->Zoom().X0 = 50, panel->Zoom().Y0 = 40, panel->Zoom().X1 = 150, panel->Zoom().Y1 = 120;
  panel->DrawZoomRectangle();
  Settle();
  const QImage during = panel->Widget()->grab().toImage();
  EXPECT_NE(during.pixel(50, 80), before.pixel(50, 80));
  EXPECT_EQ(during.pixel(100, 80), before.pixel(100, 80));
  panel->DrawZoomRectangle();
  Settle();
  EXPECT_EQ(panel->Widget()->grab().toImage(), before);
  // Showing the feedback never redrew the chart.
  EXPECT_EQ(panel->Draws, draws);
}

TEST_F(PanelTest, DrawingToABitmapLeavesTheWindowToRepaint) {
  TTestPanel *panel = ShownPanel();
  panel->SetBevelOuter(TBevelCut::bvNone);
  panel->SetColor(clRed);
  Settle();
  const int draws = panel->Draws;
  for (TColor back : {clWhite, clBlue}) {
    // The chart drawn at an offset inside the bitmap: what it leaves shows
    // the back colour.
    auto bitmap = panel->UloCreateBitmap(back, TRect{10, 10, 50, 40});
    EXPECT_EQ(bitmap->Width(), 40);
    EXPECT_EQ(bitmap->Height(), 30);
    EXPECT_EQ(bitmap->Pixel(5, 5), back);
    EXPECT_EQ(bitmap->Pixel(20, 20), clRed);
  }
  Settle();
  // The window is drawn again after the export, with its buffer.
  EXPECT_EQ(panel->Draws, draws + 2 + 1);
  EXPECT_TRUE(panel->Canvas().GetBuffered());
}

TEST_F(PanelTest, BackImageModesPlaceThePicture) {
  gdi::Bitmap picture(10, 10);
  picture.Fill(clBlue);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 5; ++x)
      picture.SetPixel(x, y, clRed);
  struct Case {
    const char *name;
    std::function<void(TBackImage &)> setup;
    std::vector<std::pair<TPoint, TColor>> expected;
  };
  const std::vector<Case> cases = {
      {"stretched over the panel", [](TBackImage &) {}, {{{20, 40}, clRed}, {{90, 40}, clBlue}}},
      {"tiled",
       [](TBackImage &b) { b.SetMode(TUloBackImageMode::pbmTile); },
       {{{2, 2}, clRed}, {{7, 2}, clBlue}, {{12, 72}, clRed}, {{97, 77}, clBlue}}},
      {"centred on the background",
       [](TBackImage &b) { b.SetMode(TUloBackImageMode::pbmCenter); },
       {{{47, 40}, clRed}, {{52, 40}, clBlue}, {{20, 20}, clWhite}}},
      {"placed",
       [](TBackImage &b) {
         b.SetMode(TUloBackImageMode::pbmCustom);
         b.SetLeft(3);
         b.SetTop(4);
       },
       {{{4, 5}, clRed}, {{9, 13}, clBlue}, {{14, 5}, clWhite}}},
      {"inside the walls is not the panel's",
       [](TBackImage &b) { b.SetInside(true); },
       {{{20, 40}, clWhite}, {{90, 40}, clWhite}}},
  };
  for (const Case &c : cases) {
    TTestPanel panel;
    panel.SetBounds(0, 0, 100, 80);
    panel.SetBevelOuter(TBevelCut::bvNone);
    panel.SetColor(clWhite);
    panel.BackImage().SetGraphic(&picture);
    c.setup(panel.BackImage());
    gdi::Bitmap target(100, 80);
    panel.Draw(&target.DC(), TRect{0, 0, 100, 80});
    for (const auto &[p, color] : c.expected)
      EXPECT_EQ(target.Pixel(p.X, p.Y), color) << c.name << " at " << p.X << "," << p.Y;
  }
}

TEST_F(PanelTest, RoundBordersShapeTheWindow) {
  TTestPanel *panel = ShownPanel();
  panel->SetBorderRound(40);
  EXPECT_FALSE(panel->Widget()->mask().isEmpty());
  EXPECT_FALSE(panel->Widget()->mask().contains(QPoint(0, 0)));
  EXPECT_TRUE(panel->Widget()->mask().contains(QPoint(200, 125)));
  panel->SetBorderRound(0);
  EXPECT_TRUE(panel->Widget()->mask().isEmpty());
}

TEST_F(PanelTest, LeavingTheWindowRestoresTheCursorAndEndsTheDrag) {
  TTestPanel *panel = ShownPanel();
  panel->SavedCursor = forms::kCursorCross;
  panel->SetCursor(forms::kCursorSizeAll);
  panel->Panning().Activate(5, 5);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(panel->Widget(), &leave);
  EXPECT_EQ(panel->Cursor(), forms::kCursorCross);
  EXPECT_FALSE(panel->Panning().Active);
}

TEST_F(PanelTest, BackImageFlagsReadFalseWithoutCreatingTheImage) {
  TTestPanel panel;
  EXPECT_FALSE(panel.BackImageInside());
  EXPECT_FALSE(panel.BackImageTransp());
  panel.SetBackImageTransp(true);
  EXPECT_EQ(panel.ExistingBackImage(), nullptr);
  panel.SetBackImageInside(true);
  ASSERT_NE(panel.ExistingBackImage(), nullptr);
  // An image without a graphic still reads false.
  EXPECT_FALSE(panel.BackImageInside());
  gdi::Bitmap g(4, 4);
  panel.BackImage().SetGraphic(&g);
  EXPECT_TRUE(panel.BackImageInside());
}

// ---- stored keys

using StoredPanelTest = foundation_test::WithStoredClass<TTestPanel, PanelTest>;

TEST_F(StoredPanelTest, SettingsRoundTripAndDefaultsAreNotWritten) {
  TTestPanel fresh;
  const std::string plain = streaming::WriteComponent(fresh);
  for (const char *key : {"Margin", "PrintMargins", "Border.", "View3D", "Shadow.", "Gradient", "BackImage", "Zoom."})
    EXPECT_EQ(plain.find(key), std::string::npos) << key << " in\n" << plain;

  TTestPanel panel;
  panel.SetMarginLeft(7);
  panel.SetMarginUnits(TUloUnits::muPixels);
  panel.SetBorderRound(9);
  panel.Border().SetVisible(true);
  panel.Border().SetColor(clRed);
  panel.Shadow().SetHorizSize(4);
  panel.Shadow().SetColor(clGreen);
  panel.SetView3D(false);
  panel.View3DOptions().SetElevation(300);
  panel.SetPrintMargins(TUloMargins{15, 7, 15, 7});
  panel.SetPrintProportional(false);
  panel.SetAllowPanning(TPanningMode::pmVertical);
  panel.Gradient().SetVisible(true);
  panel.Gradient().SetStartColor(clYellow);
  panel.Zoom().SetMinimumPixels(5);
  panel.Zoom().Pen().SetColor(clBlue);
  panel.SetBevelOuter(TBevelCut::bvNone);
  panel.SetColor(clWhite);
  const std::string text = streaming::WriteComponent(panel);
  EXPECT_NE(text.find("PrintMargins = (15, 7, 15, 7)"), std::string::npos) << text;

  // Each setting above is written only when it differs from its default,
  // so the copy writes the same text only when it read every one back.
  TTestPanel copy;
  streaming::ReadComponent(text, copy);
  EXPECT_EQ(copy.Border().EndStyle(), TPenEndStyle::esFlat);
  EXPECT_EQ(streaming::WriteComponent(copy), text);
}

TEST_F(StoredPanelTest, OldKeysAreReadAndNeverWritten) {
  struct Case {
    const char *member;
    std::function<bool(TTestPanel &)> check;
  };
  const std::vector<Case> cases = {
      {"BorderStyle = bsSingle", [](TTestPanel &p) { return p.Border().Visible(); }},
      {"Border.Visible = true\n BorderStyle = bsNone", [](TTestPanel &p) { return !p.Border().Visible(); }},
      {"AllowZoom = false", [](TTestPanel &p) { return !p.Zoom().Allow(); }},
      {"AnimatedZoom = true", [](TTestPanel &p) { return p.Zoom().Animated(); }},
      {"AnimatedZoomSteps = 3", [](TTestPanel &p) { return p.Zoom().AnimatedSteps() == 3; }},
      {"PrintMargins = (1, 2, 3, 4)",
       [](TTestPanel &p) {
         return p.PrintMargins() == TUloMargins{1, 2, 3, 4};
       }},
  };
  for (const Case &c : cases) {
    TTestPanel panel;
    streaming::ReadComponent(std::string("TTestPanel Chart1 {\n ") + c.member + "\n}\n", panel);
    EXPECT_TRUE(c.check(panel)) << c.member;
    const std::string text = streaming::WriteComponent(panel);
    for (const char *old : {"BorderStyle", "AllowZoom", "AnimatedZoom"})
      EXPECT_EQ(text.find(old), std::string::npos) << old;
  }
  TTestPanel panel;
  EXPECT_THROW(streaming::ReadComponent("TTestPanel C {\n PrintMargins = (1, 2, 3)\n}\n", panel),
               streaming::EDefinitionError);
}

} // namespace
