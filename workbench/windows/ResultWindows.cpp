#include "workbench/windows/ResultWindows.h"

#include "workbench/windows/Definitions.h"

namespace workbench {

TForm4 *Form4 = nullptr;
TForm5 *Form5 = nullptr;
TForm6 *Form6 = nullptr;
TForm7 *Form7 = nullptr;
TForm8 *Form8 = nullptr;

void TResultForm::ReadFrame(const char *definition) {
  ReadDefinition(DefinitionText(definition));
  Panel1 = Find<forms::TPanel>("Panel1");
  Button1 = Find<forms::TButton>("Button1");
  Button1->OnClick = [this] { Button1Click(); };
}

TForm4::TForm4() {
  ReadFrame("Form4.def");
  Chart1 = Find<forms::TPanel>("Chart1");
  Chart2 = Find<forms::TPanel>("Chart2");
}

TForm5::TForm5() {
  ReadFrame("Form5.def");
  Chart1 = Find<forms::TPanel>("Chart1");
  Chart2 = Find<forms::TPanel>("Chart2");
}

TForm6::TForm6() {
  ReadFrame("Form6.def");
  Chart3 = Find<forms::TPanel>("Chart3");
  Chart4 = Find<forms::TPanel>("Chart4");
}

TForm7::TForm7() {
  ReadFrame("Form7.def");
  Chart1 = Find<forms::TPanel>("Chart1");
  Chart2 = Find<forms::TPanel>("Chart2");
}

TForm8::TForm8() {
  ReadFrame("Form8.def");
  Chart1 = Find<forms::TPanel>("Chart1");
  Chart2 = Find<forms::TPanel>("Chart2");
}

} // namespace workbench
