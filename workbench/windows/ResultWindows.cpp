#include "workbench/windows/ResultWindows.h"

#include "platform/rtl/Exceptions.h"
#include "workbench/windows/Definitions.h"

namespace workbench {

TForm4 *Form4 = nullptr;
TForm5 *Form5 = nullptr;
TForm6 *Form6 = nullptr;
TForm7 *Form7 = nullptr;
TForm8 *Form8 = nullptr;

// ---- sinks

void TSeriesSink::ClearPoints() { series_->ClearPoints(); }

void TSeriesSink::AddPointXY(double x, double y) { series_->AddPointXY(x, y); }

void TSeriesSink::AddPointXYZ(double x, double y, double z) {
  auto *series3D = dynamic_cast<TCustom3DSeries *>(series_);
  if (!series3D) throw rtl::Exception("The series " + series_->Name() + " has no Z values");
  series3D->AddPointXYZ(x, y, z);
}

// ---- windows

void TResultForm::ReadFrame(const char *definition) {
  ReadDefinition(DefinitionText(definition));
  Panel1 = Find<forms::TPanel>("Panel1");
  Button1 = Find<forms::TButton>("Button1");
  Button1->OnClick = [this] { Button1Click(); };
}

TForm4::TForm4() {
  ReadFrame("Form4.def");
  Chart1 = Find<TChart>("Chart1");
  Chart2 = Find<TChart>("Chart2");
  Series1 = Find<TPoint3DSeries>("Series1");
  Series2 = Find<TPoint3DSeries>("Series2");
  Series3 = Find<TPoint3DSeries>("Series3");
  Series4 = Find<TPoint3DSeries>("Series4");
  Series5 = Find<TPoint3DSeries>("Series5");
  Series6 = Find<TPoint3DSeries>("Series6");
  ChartTool1 = Find<TRotateTool>("ChartTool1");
  ChartTool2 = Find<TRotateTool>("ChartTool2");
  Sink1.Bind(Series1);
  Sink2.Bind(Series2);
  Sink3.Bind(Series3);
  Sink4.Bind(Series4);
  Sink5.Bind(Series5);
  Sink6.Bind(Series6);
}

TForm5::TForm5() {
  ReadFrame("Form5.def");
  Chart1 = Find<TChart>("Chart1");
  Chart2 = Find<TChart>("Chart2");
  Series1 = Find<TFastLineSeries>("Series1");
  Series2 = Find<TFastLineSeries>("Series2");
  Sink1.Bind(Series1);
  Sink2.Bind(Series2);
}

TForm6::TForm6() {
  ReadFrame("Form6.def");
  Chart3 = Find<TChart>("Chart3");
  Chart4 = Find<TChart>("Chart4");
  Series3 = Find<TPoint3DSeries>("Series3");
  Series4 = Find<TPoint3DSeries>("Series4");
  Sink3.Bind(Series3);
  Sink4.Bind(Series4);
}

TForm7::TForm7() {
  ReadFrame("Form7.def");
  Chart1 = Find<TChart>("Chart1");
  Chart2 = Find<TChart>("Chart2");
  Series1 = Find<TFastLineSeries>("Series1");
  Series2 = Find<TFastLineSeries>("Series2");
  Series3 = Find<TPointSeries>("Series3");
  Series4 = Find<TPointSeries>("Series4");
  Sink3.Bind(Series3);
  Sink4.Bind(Series4);
}

TForm8::TForm8() {
  ReadFrame("Form8.def");
  Chart1 = Find<TChart>("Chart1");
  Chart2 = Find<TChart>("Chart2");
  Series1 = Find<TPoint3DSeries>("Series1");
  Series2 = Find<TPoint3DSeries>("Series2");
  Sink1.Bind(Series1);
  Sink2.Bind(Series2);
}

} // namespace workbench
