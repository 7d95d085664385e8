#include "workbench/windows/ResultWindows.h"

namespace workbench {

TForm4 *Form4 = nullptr;
TForm5 *Form5 = nullptr;
TForm6 *Form6 = nullptr;
TForm7 *Form7 = nullptr;
TForm8 *Form8 = nullptr;

TResultForm::TResultForm(const char *name, int width, int height, int buttonLeft, int buttonTop, int buttonWidth,
                         int buttonHeight, int buttonFontSize) {
  SetName(name);
  SetCaption(name);
  SetOuterSize(width, height);
  Panel1 = Make<forms::TPanel>();
  Panel1->SetName("Panel1");
  Panel1->SetAlign(forms::TAlign::alClient);
  Button1 = Panel1->Make<forms::TButton>("закрыть");
  Button1->SetName("Button1");
  Button1->SetBounds(buttonLeft, buttonTop, buttonWidth, buttonHeight);
  if (buttonFontSize > 0) Button1->SetFontSize(buttonFontSize);
  Button1->OnClick = [this] { Button1Click(); };
}

forms::TPanel *TResultForm::ChartPlace(const char *name, int left, int top, int width, int height) {
  auto *place = Panel1->Make<forms::TPanel>();
  place->SetName(name);
  place->SetBounds(left, top, width, height);
  return place;
}

TForm4::TForm4() : TResultForm("Form4", 564, 475, 424, 392, 113, 25, 10) {
  Chart1 = ChartPlace("Chart1", 16, 16, 521, 361);
  Chart2 = ChartPlace("Chart2", 16, 16, 521, 361);
}

TForm5::TForm5() : TResultForm("Form5", 672, 364, 488, 272, 145, 33, 10) {
  Chart1 = ChartPlace("Chart1", 328, 8, 305, 249);
  Chart2 = ChartPlace("Chart2", 8, 8, 305, 249);
}

TForm6::TForm6() : TResultForm("Form6", 875, 480, 288, 320, 97, 33, 0) {
  Chart3 = ChartPlace("Chart3", 472, 24, 336, 250);
  Chart4 = ChartPlace("Chart4", 24, 16, 400, 250);
}

TForm7::TForm7() : TResultForm("Form7", 614, 343, 424, 256, 161, 33, 10) {
  Chart1 = ChartPlace("Chart1", 16, 8, 281, 241);
  Chart2 = ChartPlace("Chart2", 304, 8, 281, 241);
}

TForm8::TForm8() : TResultForm("Form8", 696, 424, 488, 312, 137, 33, 0) {
  Chart1 = ChartPlace("Chart1", 16, 24, 321, 257);
  Chart2 = ChartPlace("Chart2", 352, 24, 305, 257);
}

} // namespace workbench
