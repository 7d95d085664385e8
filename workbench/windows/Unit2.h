// The About window: a picture and a few lines on the program.
#pragma once

#include "platform/forms/Controls.h"

namespace workbench {

class TForm2 : public forms::TForm {
public:
  TForm2();
  std::string_view ClassName() const override { return "TForm2"; }
  forms::TPanel *Panel1;
  forms::TImage *Image1;
  forms::TLabel *Label1, *Label2, *Label3, *Label4;
};

extern TForm2 *Form2;

} // namespace workbench
