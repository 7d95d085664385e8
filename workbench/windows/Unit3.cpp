#include "workbench/windows/Unit3.h"

namespace workbench {

TForm3 *Form3 = nullptr;

TForm3::TForm3() {
  SetName("Form3");
  SetCaption("Form3");
  SetOuterSize(305, 200);
  sss = Make<forms::TPanel>();
  sss->SetName("sss");
  sss->SetAlign(forms::TAlign::alClient);

  // Neither is checked here: the main window checks b1 when it first shows.
  b2 = sss->Make<forms::TRadioButton>("сетка");
  b2->SetName("b2");
  b2->SetBounds(16, 12, 260, 17);
  b1 = sss->Make<forms::TRadioButton>("сетка в полярных координатах или сферич");
  b1->SetName("b1");
  b1->SetBounds(16, 36, 270, 17);

  auto row = [this](const char *caption, const char *name, const char *text, int top, forms::TLabel *&label) {
    label = sss->Make<forms::TLabel>(caption);
    label->SetBounds(16, top + 4, 130, 13);
    auto *edit = sss->Make<forms::TEdit>(text);
    edit->SetName(name);
    edit->SetBounds(160, top, 121, 21);
    return edit;
  };
  Nod = row("узлов в сетке", "Nod", "10", 68, Label1);
  Edit1 = row("узлов для интеграла", "Edit1", "10", 98, Label2);
  timestep = row("шаг по времени", "timestep", "0.1", 128, Label3);
}

} // namespace workbench
