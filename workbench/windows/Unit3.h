// The settings window: the direction grid and the time step. The main
// window and the solver read its controls directly.
#pragma once

#include "platform/forms/Controls.h"

namespace workbench {

class TForm3 : public forms::TForm {
public:
  TForm3();
  std::string_view ClassName() const override { return "TForm3"; }
  forms::TPanel *sss;
  forms::TRadioButton *b1, *b2;
  forms::TLabel *Label1, *Label2, *Label3;
  forms::TEdit *Nod, *Edit1, *timestep;
};

extern TForm3 *Form3;

} // namespace workbench
