// The main window: where the user describes one game (dimensions, matrix
// grids, support formulas, the horizon), with the action buttons, the menu
// and the tool bar. It holds the solver state the computing buttons fill.
#pragma once

#include "platform/forms/Controls.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Grids.h"
#include "workbench/GameFile.h"
#include "workbench/SolverState.h"

namespace workbench {

class TForm1 : public forms::TForm {
public:
  TForm1();
  std::string_view ClassName() const override { return "TForm1"; }

  forms::TPanel *Panel1;
  forms::TToolBar *ToolBar1;
  forms::TImageList *ImageList1;
  forms::TGroupBox *GroupBox1, *GroupBox2, *GroupBox3;
  forms::TSpinEdit *X, *U, *V, *L;
  forms::TStringGrid *A, *B, *C, *Pi, *X0;
  forms::TLabel *Label4, *Label9, *Label10;
  forms::TEdit *P, *Q, *M1, *Edit1, *Edit2;
  forms::TButton *Button1, *Button2, *Button3, *Button4, *Button5, *Button6, *Button7;
  forms::TOpenDialog *OpenDialog1;
  forms::TSaveDialog *SaveDialog1;
  forms::TMainMenu *MainMenu1;
  forms::TActionList *ActionList1;

  // The dimensions as the grids now have them.
  int DimX = 1, DimU = 1, DimV = 1, DimL = 1;
  // What the computing buttons leave for the plotting buttons.
  SolverState State;

  // ---- Handlers -------------------------------------------------------------
  void FormShow();
  void XChange() { ResizeGridsForX(); }
  void UChange() { ResizeGridsForU(); }
  void VChange() { ResizeGridsForV(); }
  void LChange() { ResizeGridsForL(); }
  void N9Click();      // "Новый"
  void N2Click();      // "Открыть..."
  void N3Click();      // "Сохранить как..."
  void N5Click();      // "Выйти"
  void N7Click();      // "О програме"
  void N8Click();      // "Об авторе"
  void Button1Click(); // "Закрыть"
  void Button2Click(); // "Параметры"
  void Button3Click(); // "Построить АИ"
  void Button4Click(); // "Рассчитать АИ"
  void Button5Click(); // "Гарантированное время"
  void Button6Click(); // "Построить управления"
  void Button7Click(); // "Построить множества"
  // The tool bar has no buttons; these repeat New, Open and Save as.
  void ToolButton1Click() { N9Click(); }
  void ToolButton3Click() { N2Click(); }
  void ToolButton5Click() { N3Click(); }

  void ResizeGridsForX();
  void ResizeGridsForU();
  void ResizeGridsForV();
  void ResizeGridsForL();

  // The game as the window shows it, and the reverse. Putting a game in
  // sets the dimensions first, so the grids take its shape.
  GameRecord ReadGame() const;
  void WriteGame(const GameRecord &game);
  void SaveProblemToFile(const std::string &fileName) const;
  // Reads the whole file before anything in the window changes.
  void LoadProblemFromFile(const std::string &fileName);

  // The name of the help file the help menu opens.
  static constexpr const char *kHelpFile = "myhelp.html";
};

extern TForm1 *Form1;

} // namespace workbench
