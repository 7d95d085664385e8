#include "chart/foundation/UloStoredParts.h"

#include <array>

#include "chart/foundation/UloGradient.h"
#include "chart/foundation/UloPens.h"
#include "chart/foundation/UloPicture.h"
#include "chart/foundation/UloShadow.h"
#include "chart/foundation/UloZoom.h"
#include "chart/foundation/View3D.h"

using streaming::TEnumName;
using streaming::TPropertyTable;
using streaming::TSetBit;

namespace {

constexpr std::array<TEnumName<TPenStyle>, 7> kPenStyles{{{TPenStyle::psSolid, "psSolid"},
                                                          {TPenStyle::psDash, "psDash"},
                                                          {TPenStyle::psDot, "psDot"},
                                                          {TPenStyle::psDashDot, "psDashDot"},
                                                          {TPenStyle::psDashDotDot, "psDashDotDot"},
                                                          {TPenStyle::psClear, "psClear"},
                                                          {TPenStyle::psInsideFrame, "psInsideFrame"}}};
constexpr std::array<TEnumName<TPenMode>, 16> kPenModes{{{TPenMode::pmBlack, "pmBlack"},
                                                         {TPenMode::pmWhite, "pmWhite"},
                                                         {TPenMode::pmNop, "pmNop"},
                                                         {TPenMode::pmNot, "pmNot"},
                                                         {TPenMode::pmCopy, "pmCopy"},
                                                         {TPenMode::pmNotCopy, "pmNotCopy"},
                                                         {TPenMode::pmMergePenNot, "pmMergePenNot"},
                                                         {TPenMode::pmMaskPenNot, "pmMaskPenNot"},
                                                         {TPenMode::pmMergeNotPen, "pmMergeNotPen"},
                                                         {TPenMode::pmMaskNotPen, "pmMaskNotPen"},
                                                         {TPenMode::pmMerge, "pmMerge"},
                                                         {TPenMode::pmNotMerge, "pmNotMerge"},
                                                         {TPenMode::pmMask, "pmMask"},
                                                         {TPenMode::pmNotMask, "pmNotMask"},
                                                         {TPenMode::pmXor, "pmXor"},
                                                         {TPenMode::pmNotXor, "pmNotXor"}}};
constexpr std::array<TEnumName<TPenEndStyle>, 3> kEndStyles{
    {{TPenEndStyle::esRound, "esRound"}, {TPenEndStyle::esSquare, "esSquare"}, {TPenEndStyle::esFlat, "esFlat"}}};
constexpr std::array<TEnumName<TBrushStyle>, 8> kBrushStyles{{{TBrushStyle::bsSolid, "bsSolid"},
                                                              {TBrushStyle::bsClear, "bsClear"},
                                                              {TBrushStyle::bsHorizontal, "bsHorizontal"},
                                                              {TBrushStyle::bsVertical, "bsVertical"},
                                                              {TBrushStyle::bsFDiagonal, "bsFDiagonal"},
                                                              {TBrushStyle::bsBDiagonal, "bsBDiagonal"},
                                                              {TBrushStyle::bsCross, "bsCross"},
                                                              {TBrushStyle::bsDiagCross, "bsDiagCross"}}};
constexpr std::array<TSetBit, 4> kFontStyles{{{1, "fsBold"}, {2, "fsItalic"}, {4, "fsUnderline"}, {8, "fsStrikeOut"}}};
constexpr std::array<TEnumName<TGradientDirection>, 10> kDirections{
    {{TGradientDirection::gdTopBottom, "gdTopBottom"},
     {TGradientDirection::gdBottomTop, "gdBottomTop"},
     {TGradientDirection::gdLeftRight, "gdLeftRight"},
     {TGradientDirection::gdRightLeft, "gdRightLeft"},
     {TGradientDirection::gdFromCenter, "gdFromCenter"},
     {TGradientDirection::gdFromTopLeft, "gdFromTopLeft"},
     {TGradientDirection::gdFromBottomLeft, "gdFromBottomLeft"},
     {TGradientDirection::gdRadial, "gdRadial"},
     {TGradientDirection::gdDiagonalUp, "gdDiagonalUp"},
     {TGradientDirection::gdDiagonalDown, "gdDiagonalDown"}}};
constexpr std::array<TEnumName<TUloZoomDirection>, 3> kZoomDirections{
    {{TUloZoomDirection::tzdHorizontal, "tzdHorizontal"},
     {TUloZoomDirection::tzdVertical, "tzdVertical"},
     {TUloZoomDirection::tzdBoth, "tzdBoth"}}};
constexpr std::array<TEnumName<forms::TMouseButton>, 3> kButtons{{{forms::TMouseButton::mbLeft, "mbLeft"},
                                                                  {forms::TMouseButton::mbRight, "mbRight"},
                                                                  {forms::TMouseButton::mbMiddle, "mbMiddle"}}};
constexpr std::array<TSetBit, 7> kShiftBits{{{forms::ssShift, "ssShift"},
                                             {forms::ssAlt, "ssAlt"},
                                             {forms::ssCtrl, "ssCtrl"},
                                             {forms::ssLeft, "ssLeft"},
                                             {forms::ssRight, "ssRight"},
                                             {forms::ssMiddle, "ssMiddle"},
                                             {forms::ssDouble, "ssDouble"}}};

// The pen keys shared by chart pens and the zoom pen; the colour is stored
// against the given default.
void DefinePenKeys(TPropertyTable &t, TChartPen &pen, TColor defaultColor) {
  t.Color(
      "Color", [&pen] { return pen.Color(); }, [&pen](TColor c) { pen.SetColor(c); }, defaultColor);
  t.Enum(
      "Mode", [&pen] { return pen.Mode(); }, [&pen](TPenMode m) { pen.SetMode(m); }, TPenMode::pmCopy,
      std::span<const TEnumName<TPenMode>>(kPenModes));
  t.Enum(
      "Style", [&pen] { return pen.Style(); }, [&pen](TPenStyle s) { pen.SetStyle(s); }, TPenStyle::psSolid,
      std::span<const TEnumName<TPenStyle>>(kPenStyles));
  t.Property(
      "Width", [&pen] { return pen.Width(); }, [&pen](int w) { pen.SetWidth(w); }, 1);
  t.Enum(
       "EndStyle", [&pen] { return pen.EndStyle(); }, [&pen](TPenEndStyle e) { pen.SetEndStyle(e); },
       TPenEndStyle::esRound, std::span<const TEnumName<TPenEndStyle>>(kEndStyles))
      .StoredWhen([&pen] { return pen.IsEndStyleStored(); });
  t.Property(
      "SmallDots", [&pen] { return pen.SmallDots(); }, [&pen](bool v) { pen.SetSmallDots(v); }, false);
  t.Property(
      "SmallSpace", [&pen] { return pen.SmallSpace(); }, [&pen](int v) { pen.SetSmallSpace(v); }, 0);
  // Written as its value whenever it differs from the pen kind's default,
  // which the generic test against one constant cannot know.
  t.Define(
       "Visible", [&pen](const streaming::TValue &v, streaming::TReadContext &) { pen.SetVisible(v.AsBoolean()); },
       [&pen]() -> std::optional<streaming::TValue> { return streaming::TValue::MakeBoolean(pen.Visible()); })
      .StoredWhen([&pen] { return pen.IsVisibleStored(); });
}

} // namespace

std::function<streaming::TPersistent *()> TUloStoredParts::Get(std::string_view name, TUloStoredPart::TDefine define) {
  TUloStoredPart *found = nullptr;
  for (auto &[key, part] : parts_)
    if (key == name) found = part.get();
  if (!found) {
    parts_.emplace_back(std::string(name), std::make_unique<TUloStoredPart>(std::move(define)));
    found = parts_.back().second.get();
  }
  return [found]() -> streaming::TPersistent * { return found; };
}

void DefineChartPen(TPropertyTable &t, TChartPen &pen, TColor defaultColor) { DefinePenKeys(t, pen, defaultColor); }

void DefineChartBrush(TPropertyTable &t, TChartBrush &brush, TColor defaultColor, TBrushStyle defaultStyle) {
  t.Color(
      "Color", [&brush] { return brush.Color(); }, [&brush](TColor c) { brush.SetColor(c); }, defaultColor);
  t.Enum(
      "Style", [&brush] { return brush.Style(); }, [&brush](TBrushStyle s) { brush.SetStyle(s); }, defaultStyle,
      std::span<const TEnumName<TBrushStyle>>(kBrushStyles));
  t.Color(
      "BackColor", [&brush] { return brush.BackColor(); }, [&brush](TColor c) { brush.SetBackColor(c); }, clNone);
  t.Object("Image", [&brush] { return static_cast<streaming::TPersistent *>(&brush.Image()); }).StoredWhen([&brush] {
    return brush.ExistingImage() != nullptr;
  });
}

void DefineUloFont(TPropertyTable &t, TUloFont &font, TUloStoredParts &parts, std::string_view prefix) {
  const std::string path(prefix);
  t.Define(
       "Color",
       [&font](const streaming::TValue &v, streaming::TReadContext &) { font.SetColor(streaming::ValueToColor(v)); },
       [&font]() -> std::optional<streaming::TValue> { return streaming::ColorToValue(font.Color()); })
      .StoredWhen([&font] { return font.IsColorStored(); });
  t.Define(
       "Name", [&font](const streaming::TValue &v, streaming::TReadContext &) { font.SetName(v.AsString()); },
       [&font]() -> std::optional<streaming::TValue> { return streaming::TValue::MakeString(font.Name()); })
      .StoredWhen([&font] { return font.IsNameStored(); });
  t.Define(
       "Size", [&font](const streaming::TValue &v, streaming::TReadContext &) { font.SetSize(v.AsInt32()); },
       [&font]() -> std::optional<streaming::TValue> { return streaming::TValue::MakeInteger(font.Size()); })
      .StoredWhen([&font] { return font.IsHeightStored(); });
  t.SetOf(
       "Style", [&font] { return static_cast<uint64_t>(font.Style().Bits()); },
       [&font](uint64_t bits) { font.SetStyle(TFontStyles::FromBits(static_cast<unsigned>(bits))); }, 0,
       std::span<const TSetBit>(kFontStyles))
      .StoredWhen([&font] { return font.IsStyleStored(); });
  t.Object("Gradient", parts.Get(path + ".Gradient", [&font](TPropertyTable &p) {
     TUloFontGradient &g = font.Gradient();
     DefineUloGradient(p, g);
     p.Property(
         "Outline", [&g] { return g.Outline(); }, [&g](bool v) { g.SetOutline(v); }, false);
   })).StoredWhen([&font] { return font.ExistingGradient() != nullptr; });
  t.Property(
      "InterCharSize", [&font] { return font.InterCharSize(); }, [&font](int v) { font.SetInterCharSize(v); }, 0);
  t.Object("OutLine", parts.Get(path + ".OutLine", [&font](TPropertyTable &p) {
     DefineChartPen(p, font.OutLine());
   })).StoredWhen([&font] { return font.ExistingOutLine() != nullptr; });
  t.Object("Picture", [&font] { return static_cast<streaming::TPersistent *>(&font.Picture()); }).StoredWhen([&font] {
    return font.ExistingPicture() != nullptr;
  });
  t.Object("Shadow", parts.Get(path + ".Shadow", [&font](TPropertyTable &p) {
     DefineUloShadow(p, font.Shadow());
   })).StoredWhen([&font] { return font.ExistingShadow() != nullptr; });
}

void DefineUloShadow(TPropertyTable &t, TUloShadow &shadow) {
  t.Property(
      "Clip", [&shadow] { return shadow.Clip(); }, [&shadow](bool v) { shadow.SetClip(v); }, false);
  t.Define(
       "Color",
       [&shadow](const streaming::TValue &v, streaming::TReadContext &) {
         shadow.SetColor(streaming::ValueToColor(v));
       },
       [&shadow]() -> std::optional<streaming::TValue> { return streaming::ColorToValue(shadow.Color()); })
      .StoredWhen([&shadow] { return shadow.IsColorStored(); });
  // Both sizes are written together when either differs from the default,
  // so that reading them back never leaves one at a stale value.
  auto sizesStored = [&shadow] { return shadow.IsSizeStored(); };
  t.Define(
       "HorizSize",
       [&shadow](const streaming::TValue &v, streaming::TReadContext &) { shadow.SetHorizSize(v.AsInt32()); },
       [&shadow]() -> std::optional<streaming::TValue> { return streaming::TValue::MakeInteger(shadow.HorizSize()); })
      .StoredWhen(sizesStored);
  t.Property(
      "Smooth", [&shadow] { return shadow.Smooth(); }, [&shadow](bool v) { shadow.SetSmooth(v); }, true);
  t.Property(
      "SmoothBlur", [&shadow] { return shadow.SmoothBlur(); }, [&shadow](int v) { shadow.SetSmoothBlur(v); }, 0);
  t.Property(
      "Transparency", [&shadow] { return shadow.Transparency(); }, [&shadow](int v) { shadow.SetTransparency(v); }, 0);
  t.Define(
       "VertSize",
       [&shadow](const streaming::TValue &v, streaming::TReadContext &) { shadow.SetVertSize(v.AsInt32()); },
       [&shadow]() -> std::optional<streaming::TValue> { return streaming::TValue::MakeInteger(shadow.VertSize()); })
      .StoredWhen(sizesStored);
  t.Define(
       "Visible",
       [&shadow](const streaming::TValue &v, streaming::TReadContext &) { shadow.SetVisible(v.AsBoolean()); },
       [&shadow]() -> std::optional<streaming::TValue> { return streaming::TValue::MakeBoolean(shadow.Visible()); })
      .StoredWhen([&shadow] { return shadow.IsVisibleStored(); });
}

void DefineUloGradient(TPropertyTable &t, TCustomUloGradient &g) {
  t.Property(
      "Angle", [&g] { return g.Angle(); }, [&g](int v) { g.SetAngle(v); }, 0);
  t.Property(
      "Balance", [&g] { return g.Balance(); }, [&g](int v) { g.SetBalance(v); }, 50);
  t.Enum(
      "Direction", [&g] { return g.Direction(); }, [&g](TGradientDirection d) { g.SetDirection(d); },
      TGradientDirection::gdTopBottom, std::span<const TEnumName<TGradientDirection>>(kDirections));
  t.Color(
      "EndColor", [&g] { return g.EndColor(); }, [&g](TColor c) { g.SetEndColor(c); }, 0x00FFFF);
  t.Color(
      "MidColor", [&g] { return g.MidColor(); }, [&g](TColor c) { g.SetMidColor(c); }, clNone);
  t.Property(
      "RadialX", [&g] { return g.RadialX(); }, [&g](int v) { g.SetRadialX(v); }, 0);
  t.Property(
      "RadialY", [&g] { return g.RadialY(); }, [&g](int v) { g.SetRadialY(v); }, 0);
  t.Color(
      "StartColor", [&g] { return g.StartColor(); }, [&g](TColor c) { g.SetStartColor(c); }, 0xFFFFFF);
  t.Property(
      "Visible", [&g] { return g.Visible(); }, [&g](bool v) { g.SetVisible(v); }, false);
}

void DefineView3DOptions(TPropertyTable &t, TView3DOptions &o) {
  t.Property(
      "Elevation", [&o] { return o.Elevation(); }, [&o](int v) { o.SetElevation(v); }, 345);
  t.Property(
      "FontZoom", [&o] { return o.FontZoom(); }, [&o](int v) { o.SetFontZoom(v); }, 100);
  t.Property(
      "HorizOffset", [&o] { return o.HorizOffset(); }, [&o](int v) { o.SetHorizOffset(v); }, 0);
  t.Property(
      "OrthoAngle", [&o] { return o.OrthoAngle(); }, [&o](int v) { o.SetOrthoAngle(v); }, 45);
  t.Property(
      "Orthogonal", [&o] { return o.Orthogonal(); }, [&o](bool v) { o.SetOrthogonal(v); }, true);
  t.Property(
      "Perspective", [&o] { return o.Perspective(); }, [&o](int v) { o.SetPerspective(v); }, 100);
  t.Property(
      "Rotation", [&o] { return o.Rotation(); }, [&o](int v) { o.SetRotation(v); }, 345);
  t.Property(
      "Tilt", [&o] { return o.Tilt(); }, [&o](int v) { o.SetTilt(v); }, 0);
  t.Property(
      "VertOffset", [&o] { return o.VertOffset(); }, [&o](int v) { o.SetVertOffset(v); }, 0);
  t.Property(
      "Zoom", [&o] { return o.Zoom(); }, [&o](int v) { o.SetZoom(v); }, 100);
  t.Property(
      "ZoomText", [&o] { return o.ZoomText(); }, [&o](bool v) { o.SetZoomText(v); }, true);
}

void DefineUloZoom(TPropertyTable &t, TUloZoom &z, TUloStoredParts &parts) {
  t.Property(
      "Allow", [&z] { return z.Allow(); }, [&z](bool v) { z.SetAllow(v); }, true);
  t.Property(
      "Animated", [&z] { return z.Animated(); }, [&z](bool v) { z.SetAnimated(v); }, false);
  t.Property(
      "AnimatedSteps", [&z] { return z.AnimatedSteps(); }, [&z](int v) { z.SetAnimatedSteps(v); }, 8);
  t.Enum(
      "Direction", [&z] { return z.Direction(); }, [&z](TUloZoomDirection d) { z.SetDirection(d); },
      TUloZoomDirection::tzdBoth, std::span<const TEnumName<TUloZoomDirection>>(kZoomDirections));
  t.SetOf(
      "KeyShift", [&z] { return static_cast<uint64_t>(z.KeyShift()); },
      [&z](uint64_t v) { z.SetKeyShift(static_cast<forms::TShiftState>(v)); }, 0, std::span<const TSetBit>(kShiftBits));
  t.Property(
      "MinimumPixels", [&z] { return z.MinimumPixels(); }, [&z](int v) { z.SetMinimumPixels(v); }, 16);
  t.Enum(
      "MouseButton", [&z] { return z.MouseButton(); }, [&z](forms::TMouseButton b) { z.SetMouseButton(b); },
      forms::TMouseButton::mbLeft, std::span<const TEnumName<forms::TMouseButton>>(kButtons));
  t.Property(
      "UpLeftZooms", [&z] { return z.UpLeftZooms(); }, [&z](bool v) { z.SetUpLeftZooms(v); }, false);
  // Made on first read, so stored only once something made them.
  t.Object("Brush", parts.Get("Zoom.Brush", [&z](TPropertyTable &p) {
     DefineChartBrush(p, z.Brush(), clWhite, TBrushStyle::bsClear);
   })).StoredWhen([&z] { return z.ExistingBrush() != nullptr; });
  t.Object("Pen", parts.Get("Zoom.Pen", [&z](TPropertyTable &p) {
     DefineChartPen(p, z.Pen(), z.Pen().DefaultColor());
   })).StoredWhen([&z] { return z.ExistingPen() != nullptr; });
}
