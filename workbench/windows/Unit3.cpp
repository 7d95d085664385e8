#include "workbench/windows/Unit3.h"

#include "workbench/windows/Definitions.h"

namespace workbench {

TForm3 *Form3 = nullptr;

// Neither radio button is checked in the definition: the main window
// checks b1 when it first shows.
TForm3::TForm3() {
  ReadDefinition(DefinitionText("Form3.def"));
  sss = Find<forms::TPanel>("sss");
  b1 = Find<forms::TRadioButton>("b1");
  b2 = Find<forms::TRadioButton>("b2");
  Label1 = Find<forms::TLabel>("Label1");
  Label2 = Find<forms::TLabel>("Label2");
  Label3 = Find<forms::TLabel>("Label3");
  Nod = Find<forms::TEdit>("Nod");
  Edit1 = Find<forms::TEdit>("Edit1");
  timestep = Find<forms::TEdit>("timestep");
}

} // namespace workbench
