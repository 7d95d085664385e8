// The five result windows. Each has a close button that only hides it, and
// empty places where its charts will stand. Until the charts stand there,
// the series the solver fills are recording point lists with the series'
// names, which keep what they receive.
#pragma once

#include "platform/forms/Controls.h"
#include "workbench/PointSink.h"

namespace workbench {

class TResultForm : public forms::TForm {
public:
  forms::TPanel *Panel1;
  forms::TButton *Button1;
  void Button1Click() { Close(); }

protected:
  TResultForm() = default;
  // Reads the window's definition and binds its close button; called by
  // each window's own constructor, once its class name is in force.
  void ReadFrame(const char *definition);
};

// The alternating integral in space (Chart1) and in the plane (Chart2, over Chart1).
class TForm4 : public TResultForm {
public:
  TForm4();
  std::string_view ClassName() const override { return "TForm4"; }
  forms::TPanel *Chart1, *Chart2;
  RecordingPointSink Series1, Series2, Series3, Series4, Series5, Series6;
};

// The controls in the plane: evader right (Chart1), pursuer left (Chart2).
class TForm5 : public TResultForm {
public:
  TForm5();
  std::string_view ClassName() const override { return "TForm5"; }
  forms::TPanel *Chart1, *Chart2;
  RecordingPointSink Series1, Series2;
};

// The controls in space: evader right (Chart3), pursuer left (Chart4).
class TForm6 : public TResultForm {
public:
  TForm6();
  std::string_view ClassName() const override { return "TForm6"; }
  forms::TPanel *Chart3, *Chart4;
  RecordingPointSink Series3, Series4;
};

// The candidate control sets in the plane: P(t) and Q(t).
class TForm7 : public TResultForm {
public:
  TForm7();
  std::string_view ClassName() const override { return "TForm7"; }
  forms::TPanel *Chart1, *Chart2;
  RecordingPointSink Series1, Series2, Series3, Series4;
};

// The candidate control sets in space: P(t) and Q(t).
class TForm8 : public TResultForm {
public:
  TForm8();
  std::string_view ClassName() const override { return "TForm8"; }
  forms::TPanel *Chart1, *Chart2;
  RecordingPointSink Series1, Series2;
};

extern TForm4 *Form4;
extern TForm5 *Form5;
extern TForm6 *Form6;
extern TForm7 *Form7;
extern TForm8 *Form8;

} // namespace workbench
