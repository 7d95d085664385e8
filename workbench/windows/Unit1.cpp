#include "workbench/windows/Unit1.h"

#include <initializer_list>
#include <vector>

#include "platform/forms/Application.h"
#include "platform/rtl/Conversions.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "workbench/ResultPlots.h"
#include "workbench/windows/Computations.h"
#include "workbench/windows/Definitions.h"
#include "workbench/windows/ResultWindows.h"
#include "workbench/windows/Unit2.h"
#include "workbench/windows/Unit3.h"

namespace workbench {

using forms::Application;

TForm1 *Form1 = nullptr;

namespace {

TextTable ReadTable(const forms::TStringGrid &grid, int rows, int cols) {
  TextTable table(static_cast<size_t>(rows), std::vector<std::string>(static_cast<size_t>(cols)));
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j)
      table[static_cast<size_t>(i)][static_cast<size_t>(j)] = grid.Cells(j + 1, i + 1);
  return table;
}

void WriteTable(forms::TStringGrid &grid, const TextTable &table) {
  for (size_t i = 0; i < table.size(); ++i)
    for (size_t j = 0; j < table[i].size(); ++j)
      grid.SetCells(static_cast<int>(j) + 1, static_cast<int>(i) + 1, table[i][j]);
}

void NumberColumns(forms::TStringGrid &grid) {
  for (int j = 1; j < grid.ColCount(); ++j)
    grid.SetCells(j, 0, rtl::IntToStr(j));
}

void NumberRows(forms::TStringGrid &grid) {
  for (int i = 1; i < grid.RowCount(); ++i)
    grid.SetCells(0, i, rtl::IntToStr(i));
}

} // namespace

TForm1::TForm1() {
  ReadDefinition(DefinitionText("Form1.def"));
  MainMenu1 = Menu();
  Panel1 = Find<forms::TPanel>("Panel1");
  ToolBar1 = Find<forms::TToolBar>("ToolBar1");
  ImageList1 = Find<forms::TImageList>("ImageList1");
  GroupBox1 = Find<forms::TGroupBox>("GroupBox1");
  GroupBox2 = Find<forms::TGroupBox>("GroupBox2");
  GroupBox3 = Find<forms::TGroupBox>("GroupBox3");
  X = Find<forms::TSpinEdit>("X");
  U = Find<forms::TSpinEdit>("U");
  V = Find<forms::TSpinEdit>("V");
  L = Find<forms::TSpinEdit>("L");
  A = Find<forms::TStringGrid>("A");
  B = Find<forms::TStringGrid>("B");
  C = Find<forms::TStringGrid>("C");
  Pi = Find<forms::TStringGrid>("Pi");
  X0 = Find<forms::TStringGrid>("X0");
  Label4 = Find<forms::TLabel>("Label4");
  Label9 = Find<forms::TLabel>("Label9");
  Label10 = Find<forms::TLabel>("Label10");
  P = Find<forms::TEdit>("P");
  Q = Find<forms::TEdit>("Q");
  M1 = Find<forms::TEdit>("M1");
  Edit1 = Find<forms::TEdit>("Edit1");
  Edit2 = Find<forms::TEdit>("Edit2");
  Button1 = Find<forms::TButton>("Button1");
  Button2 = Find<forms::TButton>("Button2");
  Button3 = Find<forms::TButton>("Button3");
  Button4 = Find<forms::TButton>("Button4");
  Button5 = Find<forms::TButton>("Button5");
  Button6 = Find<forms::TButton>("Button6");
  Button7 = Find<forms::TButton>("Button7");
  OpenDialog1 = Find<forms::TOpenDialog>("OpenDialog1");
  SaveDialog1 = Find<forms::TSaveDialog>("SaveDialog1");
  ActionList1 = Find<forms::TActionList>("ActionList1");

  OnShow = [this] { FormShow(); };
  X->OnChange = [this] { XChange(); };
  U->OnChange = [this] { UChange(); };
  V->OnChange = [this] { VChange(); };
  L->OnChange = [this] { LChange(); };
  Find<forms::TMenuItem>("N9")->OnClick = [this] { N9Click(); };
  Find<forms::TMenuItem>("N2")->OnClick = [this] { N2Click(); };
  Find<forms::TMenuItem>("N3")->OnClick = [this] { N3Click(); };
  Find<forms::TMenuItem>("N5")->OnClick = [this] { N5Click(); };
  Find<forms::TMenuItem>("N7")->OnClick = [this] { N7Click(); };
  Find<forms::TMenuItem>("N8")->OnClick = [this] { N8Click(); };
  Button1->OnClick = [this] { Button1Click(); };
  Button2->OnClick = [this] { Button2Click(); };
  Button3->OnClick = [this] { Button3Click(); };
  Button4->OnClick = [this] { Button4Click(); };
  Button5->OnClick = [this] { Button5Click(); };
  Button6->OnClick = [this] { Button6Click(); };
  Button7->OnClick = [this] { Button7Click(); };
}

// ---- Grid shapes --------------------------------------------------------------

void TForm1::ResizeGridsForX() {
  const int n = X->Value();
  A->SetColCount(n + 1);
  A->SetRowCount(n + 1);
  B->SetRowCount(n + 1);
  C->SetRowCount(n + 1);
  Pi->SetColCount(n + 1);
  X0->SetColCount(2);
  X0->SetRowCount(n + 1);
  NumberColumns(*A);
  NumberRows(*A);
  NumberRows(*B);
  NumberRows(*C);
  NumberColumns(*Pi);
  NumberColumns(*X0);
  NumberRows(*X0);
  DimX = X->Value();
  DimU = U->Value();
  DimL = L->Value();
  DimV = V->Value();
}

void TForm1::ResizeGridsForU() {
  B->SetColCount(U->Value() + 1);
  NumberColumns(*B);
  DimU = U->Value();
}

void TForm1::ResizeGridsForV() {
  C->SetColCount(V->Value() + 1);
  NumberColumns(*C);
  DimV = V->Value();
}

void TForm1::ResizeGridsForL() {
  Pi->SetRowCount(L->Value() + 1);
  NumberRows(*Pi);
  DimL = L->Value();
}

void TForm1::FormShow() {
  A->SetCells(0, 0, "A ");
  B->SetCells(0, 0, "B ");
  Pi->SetCells(0, 0, "Pi ");
  C->SetCells(0, 0, "C ");
  X0->SetCells(0, 0, "x0 ");
  ResizeGridsForX();
  ResizeGridsForU();
  ResizeGridsForV();
  ResizeGridsForL();
  Form3->b1->SetChecked(true);
}

void TForm1::N9Click() {
  X->SetValue(1);
  U->SetValue(1);
  V->SetValue(1);
  L->SetValue(1);
  for (forms::TStringGrid *grid : {A, B, C, Pi, X0})
    grid->SetCells(1, 1, " ");
  P->SetText("");
  Q->SetText("");
  M1->SetText("");
  ResizeGridsForX();
  ResizeGridsForU();
  ResizeGridsForV();
  ResizeGridsForL();
}

// ---- The game file ------------------------------------------------------------

GameRecord TForm1::ReadGame() const {
  const int n = X->Value(), u = U->Value(), v = V->Value(), l = L->Value();
  GameRecord game;
  game.X = n;
  game.U = u;
  game.V = v;
  game.L = l;
  game.A = ReadTable(*A, n, n);
  game.B = ReadTable(*B, n, u);
  game.C = ReadTable(*C, n, v);
  game.Pi = ReadTable(*Pi, l, n);
  game.X0.assign(static_cast<size_t>(n), std::string());
  for (int i = 0; i < n; ++i)
    game.X0[static_cast<size_t>(i)] = X0->Cells(1, i + 1);
  game.P = P->Text();
  game.Q = Q->Text();
  game.M = M1->Text();
  game.T = Edit1->Text();
  return game;
}

void TForm1::WriteGame(const GameRecord &game) {
  // Each dimension before its cells: the change handlers shape the grids.
  X->SetValue(game.X);
  WriteTable(*A, game.A);
  for (size_t i = 0; i < game.X0.size(); ++i)
    X0->SetCells(1, static_cast<int>(i) + 1, game.X0[i]);
  U->SetValue(game.U);
  WriteTable(*B, game.B);
  V->SetValue(game.V);
  WriteTable(*C, game.C);
  L->SetValue(game.L);
  WriteTable(*Pi, game.Pi);
  P->SetText(game.P);
  Q->SetText(game.Q);
  M1->SetText(game.M);
  Edit1->SetText(game.T);
}

void TForm1::SaveProblemToFile(const std::string &fileName) const {
  workbench::SaveProblemToFile(fileName, ReadGame());
}

void TForm1::LoadProblemFromFile(const std::string &fileName) { WriteGame(workbench::LoadProblemFromFile(fileName)); }

void TForm1::N2Click() {
  if (!OpenDialog1->Execute()) return;
  if (!rtl::FileExists(OpenDialog1->FileName())) {
    Application().MessageBox("Файл не найден", "Информация");
    return;
  }
  LoadProblemFromFile(OpenDialog1->FileName());
}

void TForm1::N3Click() {
  if (!SaveDialog1->Execute()) return;
  SaveProblemToFile(SaveDialog1->FileName());
}

// ---- The other menu entries and buttons ---------------------------------------

void TForm1::N5Click() { Close(); }
void TForm1::Button1Click() { Close(); }

void TForm1::N7Click() {
  Application().SetHelpFile(kHelpFile);
  Application().HelpContents();
}

void TForm1::N8Click() { Form2->Show(); }
void TForm1::Button2Click() { Form3->Show(); }

void TForm1::Button4Click() { ComputeIntegral(*this); }
void TForm1::Button5Click() { ComputeGuaranteedTime(*this); }

// ---- The plotting buttons ------------------------------------------------------

namespace {

// While a plot fills: the window's buttons are off, so that no computation
// can start in the middle, and the charts do not repaint point by point.
class TPlotScope {
public:
  TPlotScope(TForm1 &window, std::initializer_list<TChart *> charts) : buttons_(Buttons(window)) {
    for (forms::TButton *b : buttons_) {
      enabled_.push_back(b->Enabled());
      b->SetEnabled(false);
    }
    for (TChart *c : charts) {
      c->SetAutoRepaint(false);
      charts_.push_back({c, false});
    }
  }
  TPlotScope(const TPlotScope &) = delete;
  TPlotScope &operator=(const TPlotScope &) = delete;
  ~TPlotScope() {
    for (size_t i = 0; i < buttons_.size(); ++i)
      buttons_[i]->SetEnabled(enabled_[i]);
    // One paint of each chart, with everything in it; a chart repainted
    // after its last section already shows everything.
    for (const HeldChart &held : charts_) {
      held.Chart->SetAutoRepaint(true);
      if (!held.Current) held.Chart->Invalidate();
    }
  }

  // Shows what the chart holds so far: the pending messages, its repaint
  // among them, are processed with the chart repainting as usual. Between
  // two such calls the points go in without asking for paints.
  void RepaintNow(TChart &chart) {
    chart.SetAutoRepaint(true);
    chart.Invalidate();
    Application().ProcessMessages();
    chart.SetAutoRepaint(false);
    for (HeldChart &held : charts_)
      if (held.Chart == &chart) held.Current = true;
  }

private:
  static std::vector<forms::TButton *> Buttons(TForm1 &w) {
    return {w.Button1, w.Button2, w.Button3, w.Button4, w.Button5, w.Button6, w.Button7};
  }
  struct HeldChart {
    TChart *Chart;
    bool Current; // repainted after its last points went in
  };
  std::vector<HeldChart> charts_;
  std::vector<forms::TButton *> buttons_;
  std::vector<bool> enabled_;
};

} // namespace

void TForm1::Button3Click() {
  Form4->Show();
  IntegralSeries series;
  series.Series1 = &Form4->Sink1;
  series.Series2 = &Form4->Sink2;
  series.Series3 = &Form4->Sink3;
  series.Series4 = &Form4->Sink4;
  series.Series5 = &Form4->Sink5;
  series.Series6 = &Form4->Sink6;
  IntegralPlotHooks hooks;
  hooks.BeforeFill = [](const IntegralLayout &layout) {
    Form4->SetCaption(layout.Caption);
    Form4->Chart2->SetVisible(layout.Chart2Visible);
  };
  TPlotScope scope(*this, {Form4->Chart1, Form4->Chart2});
  hooks.AfterSection = [&scope] { scope.RepaintNow(*Form4->Chart1); };
  PlotIntegral(State, DimL, Edit1->Text(), series, hooks);
}

void TForm1::Button6Click() {
  switch (ControlsWindowFor(State, DimL)) {
  case TControlsWindow::cwForm5:
    Form5->Show();
    Form5->Chart1->SetVisible(true);
    Form5->Chart2->SetVisible(true);
    break;
  case TControlsWindow::cwForm6:
    Form6->Show();
    Form6->Chart3->SetVisible(true);
    Form6->Chart4->SetVisible(true);
    break;
  case TControlsWindow::cwNone:
    break;
  }
}

void TForm1::Button7Click() {
  SetSeries series;
  series.Form7Series3 = &Form7->Sink3;
  series.Form7Series4 = &Form7->Sink4;
  series.Form8Series1 = &Form8->Sink1;
  series.Form8Series2 = &Form8->Sink2;
  TSetsWindow window = TSetsWindow::swNone;
  {
    TPlotScope scope(*this, {Form7->Chart1, Form7->Chart2, Form8->Chart1, Form8->Chart2});
    window = PlotSets(State, DimL, series);
  }
  if (window == TSetsWindow::swForm7) Form7->Show();
  if (window == TSetsWindow::swForm8) Form8->Show();
}

} // namespace workbench
