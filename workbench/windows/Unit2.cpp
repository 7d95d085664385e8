#include "workbench/windows/Unit2.h"

#include "workbench/windows/Definitions.h"

namespace workbench {

TForm2 *Form2 = nullptr;

TForm2::TForm2() {
  ReadDefinition(DefinitionText("Form2.def"));
  Panel1 = Find<forms::TPanel>("Panel1");
  Image1 = Find<forms::TImage>("Image1");
  Label1 = Find<forms::TLabel>("Label1");
  Label2 = Find<forms::TLabel>("Label2");
  Label3 = Find<forms::TLabel>("Label3");
  Label4 = Find<forms::TLabel>("Label4");
}

} // namespace workbench
