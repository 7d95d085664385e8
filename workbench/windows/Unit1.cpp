#include "workbench/windows/Unit1.h"

#include "platform/forms/Application.h"
#include "platform/rtl/Conversions.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "workbench/windows/Computations.h"
#include "workbench/windows/ResultWindows.h"
#include "workbench/windows/Unit2.h"
#include "workbench/windows/Unit3.h"

namespace workbench {

using forms::Application;

TForm1 *Form1 = nullptr;

namespace {

constexpr int kMaxDim = 10;

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

forms::TStringGrid *MakeGrid(forms::TWinControl *parent, const char *name, int left, int top, int width, int height) {
  auto *grid = parent->Make<forms::TStringGrid>();
  grid->SetName(name);
  grid->SetBounds(left, top, width, height);
  grid->SetColCount(2);
  grid->SetRowCount(2);
  grid->SetDefaultColWidth(50);
  grid->SetDefaultRowHeight(20);
  grid->SetGridLines(true);
  grid->SetRangeSelect(true);
  grid->SetEditing(true);
  return grid;
}

forms::TSpinEdit *MakeSpin(forms::TWinControl *parent, const char *name, int left) {
  auto *label = parent->Make<forms::TLabel>(name);
  label->SetBounds(left, 23, 10, 13);
  auto *spin = parent->Make<forms::TSpinEdit>();
  spin->SetName(name);
  spin->SetMinValue(1);
  spin->SetMaxValue(kMaxDim);
  spin->SetValue(1);
  spin->SetBounds(left + 16, 18, 50, 22);
  return spin;
}

forms::TEdit *MakeFormulaEdit(forms::TWinControl *parent, const char *caption, const char *name, int top) {
  auto *label = parent->Make<forms::TLabel>(caption);
  label->SetBounds(12, top + 4, 10, 13);
  auto *edit = parent->Make<forms::TEdit>();
  edit->SetName(name);
  edit->SetBounds(28, top, 390, 21);
  return edit;
}

forms::TButton *MakeButton(forms::TWinControl *parent, const char *name, const char *caption, int top) {
  auto *button = parent->Make<forms::TButton>(caption);
  button->SetName(name);
  button->SetBounds(448, top, 180, 25);
  return button;
}

} // namespace

TForm1::TForm1() {
  SetName("Form1");
  SetCaption("Линейные дифференциальные игры");
  BuildMenu();
  SetClientSize(640, 545);
  BuildControls();
  OnShow = [this] { FormShow(); };
}

void TForm1::BuildMenu() {
  MainMenu1 = CreateMainMenu();
  forms::TMenuItem *file = MainMenu1->Add("Файл");
  forms::TMenuItem *item = file->Add("Новый");
  item->OnClick = [this] { N9Click(); };
  item = file->Add("Открыть...");
  item->OnClick = [this] { N2Click(); };
  item = file->Add("Сохранить как...");
  item->OnClick = [this] { N3Click(); };
  file->Add("-");
  item = file->Add("Выйти");
  item->OnClick = [this] { N5Click(); };
  forms::TMenuItem *help = MainMenu1->Add("Справка");
  item = help->Add("О програме");
  item->OnClick = [this] { N7Click(); };
  item = help->Add("Об авторе");
  item->OnClick = [this] { N8Click(); };
}

void TForm1::BuildControls() {
  Panel1 = Make<forms::TPanel>();
  Panel1->SetName("Panel1");
  Panel1->SetAlign(forms::TAlign::alClient);

  ToolBar1 = Panel1->Make<forms::TToolBar>();
  ToolBar1->SetName("ToolBar1");
  ToolBar1->SetBounds(1, 1, 638, 26);
  ToolBar1->SetAlign(forms::TAlign::alTop);
  ToolBar1->SetImages(&ImageList1);

  GroupBox1 = Panel1->Make<forms::TGroupBox>("Размерность");
  GroupBox1->SetBounds(8, 32, 624, 48);
  X = MakeSpin(GroupBox1, "X", 16);
  U = MakeSpin(GroupBox1, "U", 176);
  V = MakeSpin(GroupBox1, "V", 336);
  L = MakeSpin(GroupBox1, "L", 496);

  // The three capitals are Cyrillic, as everywhere in the window's texts.
  GroupBox2 = Panel1->Make<forms::TGroupBox>("Матрицы А, В, С");
  GroupBox2->SetBounds(8, 84, 624, 196);
  A = MakeGrid(GroupBox2, "A", 8, 20, 200, 168);
  B = MakeGrid(GroupBox2, "B", 212, 20, 200, 168);
  C = MakeGrid(GroupBox2, "C", 416, 20, 200, 168);

  Label4 = Panel1->Make<forms::TLabel>("Pi");
  Label4->SetBounds(8, 286, 20, 13);
  Pi = MakeGrid(Panel1, "Pi", 8, 302, 300, 120);
  Label10 = Panel1->Make<forms::TLabel>("X0");
  Label10->SetBounds(316, 286, 20, 13);
  X0 = MakeGrid(Panel1, "X0", 316, 302, 122, 120);

  GroupBox3 = Panel1->Make<forms::TGroupBox>("Опорные функции");
  GroupBox3->SetBounds(8, 428, 430, 86);
  P = MakeFormulaEdit(GroupBox3, "P", "P", 16);
  Q = MakeFormulaEdit(GroupBox3, "Q", "Q", 39);
  M1 = MakeFormulaEdit(GroupBox3, "M", "M1", 62);

  Label9 = Panel1->Make<forms::TLabel>("T");
  Label9->SetFontBold(true);
  Label9->SetBounds(16, 522, 10, 13);
  Edit1 = Panel1->Make<forms::TEdit>();
  Edit1->SetName("Edit1");
  Edit1->SetBounds(32, 518, 120, 21);
  Edit2 = Panel1->Make<forms::TEdit>();
  Edit2->SetName("Edit2");
  Edit2->SetBounds(168, 518, 120, 21);
  Edit2->SetVisible(false);

  Button4 = MakeButton(Panel1, "Button4", "Рассчитать АИ", 292);
  Button5 = MakeButton(Panel1, "Button5", "Гарантированное время", 322);
  Button2 = MakeButton(Panel1, "Button2", "Параметры", 352);
  Button3 = MakeButton(Panel1, "Button3", "Построить АИ", 398);
  Button6 = MakeButton(Panel1, "Button6", "Построить управления", 428);
  Button7 = MakeButton(Panel1, "Button7", "Построить множества", 458);
  Button1 = MakeButton(Panel1, "Button1", "Закрыть", 514);

  X->OnChange = [this] { XChange(); };
  U->OnChange = [this] { UChange(); };
  V->OnChange = [this] { VChange(); };
  L->OnChange = [this] { LChange(); };
  Button1->OnClick = [this] { Button1Click(); };
  Button2->OnClick = [this] { Button2Click(); };
  Button3->OnClick = [this] { Button3Click(); };
  Button4->OnClick = [this] { Button4Click(); };
  Button5->OnClick = [this] { Button5Click(); };
  Button6->OnClick = [this] { Button6Click(); };
  Button7->OnClick = [this] { Button7Click(); };

  OpenDialog1.SetFilter("Text File (*.txt)|*.txt");
  SaveDialog1.SetFilter("Text File (*.txt)|*.txt");
  SaveDialog1.SetDefaultExt("txt");
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
  if (!OpenDialog1.Execute()) return;
  if (!rtl::FileExists(OpenDialog1.FileName())) {
    Application().MessageBox("Файл не найден", "Информация");
    return;
  }
  LoadProblemFromFile(OpenDialog1.FileName());
}

void TForm1::N3Click() {
  if (!SaveDialog1.Execute()) return;
  SaveProblemToFile(SaveDialog1.FileName());
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

void TForm1::Button3Click() { throw rtl::ENotImplemented("Plotting the alternating integral (the result charts)"); }
void TForm1::Button6Click() { throw rtl::ENotImplemented("Plotting the controls (the result charts)"); }
void TForm1::Button7Click() { throw rtl::ENotImplemented("Plotting the control sets (the result charts)"); }

} // namespace workbench
