// The stored form of the settings objects that are not themselves stored
// classes (pens, brushes, fonts, shadows, gradients, view and zoom
// settings): a panel or shape declares them as nested objects through a
// TUloStoredPart that fills the table with the part's keys.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "chart/foundation/UloPens.h"
#include "platform/rtl/Colors.h"
#include "platform/streaming/Streaming.h"

class TUloShadow;
class TCustomUloGradient;
class TUloGradient;
class TView3DOptions;
class TUloZoom;

// A nested object whose keys some other object's table declares.
class TUloStoredPart : public streaming::TPersistent {
public:
  using TDefine = std::function<void(streaming::TPropertyTable &)>;
  explicit TUloStoredPart(TDefine define) : define_(std::move(define)) {}
  void DefineProperties(streaming::TPropertyTable &table) override { define_(table); }

private:
  TDefine define_;
};

// Keys of each settings object; only values that differ from the object's
// own defaults are written.
void DefineChartPen(streaming::TPropertyTable &table, TChartPen &pen, TColor defaultColor = clBlack);
// Colour and style are stored against those the brush was made with, so
// that a value left out reads back as what was written.
void DefineChartBrush(streaming::TPropertyTable &table, TChartBrush &brush, TColor defaultColor = clDefault,
                      TBrushStyle defaultStyle = TBrushStyle::bsSolid);
class TUloStoredParts;
// The font's gradient, outline and shadow are nested parts kept in Parts
// under Prefix ("Font" gives "Font.Shadow"), so that several fonts of one
// owner keep apart; each, and the picture, is stored only once something
// made it.
void DefineUloFont(streaming::TPropertyTable &table, TUloFont &font, TUloStoredParts &parts, std::string_view prefix);
void DefineUloShadow(streaming::TPropertyTable &table, TUloShadow &shadow);
void DefineUloGradient(streaming::TPropertyTable &table, TCustomUloGradient &gradient);
void DefineView3DOptions(streaming::TPropertyTable &table, TView3DOptions &options);
// The zoom's pen and brush are nested parts kept in Parts.
void DefineUloZoom(streaming::TPropertyTable &table, TUloZoom &zoom, TUloStoredParts &parts);

// Keeps one stored part per key for the life of its owner, since the
// reader and writer hold on to what a table's getters return.
class TUloStoredParts {
public:
  // The getter a table's Object declaration takes.
  std::function<streaming::TPersistent *()> Get(std::string_view name, TUloStoredPart::TDefine define);

private:
  std::vector<std::pair<std::string, std::unique_ptr<TUloStoredPart>>> parts_;
};
