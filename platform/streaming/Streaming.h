// Stored definitions: how windows, charts, series and tools are described
// as text and built again from it. Include this header for everything.
//
// ==== The text =========================================================
//
// A definition is UTF-8 text holding one component. A component is its
// registered class name, an optional name, and its members in braces:
//
//   TResultForm Form7 {                  # '#' starts a comment
//     Caption = "Form7"                  # string: UTF-8, escapes \" \\ \n \r \t \xHH
//     Width = 614                        # integer (64-bit), or hex: 0xF5A7FC
//     PrintMargins = (15, 7, 15, 7)      # list
//     TChart Chart1 {                    # child component: class, name, members
//       Title.Text = ("P(t)")            # dotted path into a nested object
//       Color = clWhite                  # identifier (enum value, colour name)
//       Font.Style = [fsBold]            # set of identifiers
//       Zoom = 0.97                      # double: shortest text that reads back exactly
//       TFastLineSeries Series1 {
//         Active = false
//         Data = <0002000000000000000000f03f0000000000000040>   # binary block, hex
//       }
//       TRotateTool ChartTool1 {
//         Series = @Series1              # reference to a component by name
//         Pen.Color = clWhite
//       }
//       TDrawLineTool ChartTool2 {
//         Lines = (                      # collection: a list of records
//           {
//             X0 = 1.5
//             Style = dlRectangle
//           },
//           {}
//         )
//       }
//     }
//   }
//
// Values: integers (-7, 0x10), doubles (0.5, -0.0, 1e+300, inf, -inf; a
// double always has a '.', an exponent or is inf, so it never reads back
// as an integer), true/false, nil, "strings", identifiers, @references,
// [sets], (lists, comma separated), records { Path = value ... } with an
// optional class name before the brace (TBlurFilter { Amount = 3 }), and
// binary blocks <hex digits, spaces and line breaks allowed>.
//
// Members apply in file order; a child component is created when it is
// met, before the members after it. Records hold properties only.
//
// Doubles round-trip bit for bit, denormals and -0.0 included. NaN has no
// text: writing it raises EWriteError and no text reads as NaN.
//
// Nesting is limited to kMaxNesting levels; reading never crashes or hangs
// on any input: a fault raises EDefinitionError whose message starts with
// "Line N: ".
//
// ==== Classes that can be stored ========================================
//
// A class derives from TPersistent (parts: pens, axes, collection items)
// or TStoredComponent (named objects with children: forms, controls,
// charts, series, tools) and declares its properties:
//
//   void TRotateTool::DefineProperties(streaming::TPropertyTable &t) {
//     TUloCustomTool::DefineProperties(t);           // the base first
//     t.Property("Inertia", this, &TRotateTool::Inertia, &TRotateTool::SetInertia, 0);
//     t.Enum("Button", [this] { return Button(); }, [this](TMouseButton b) { SetButton(b); },
//            TMouseButton::mbLeft, kButtonNames);  // a static TEnumName<TMouseButton> array
//     t.Color("Color", ..., ..., clDefault);
//     t.Object("Pen", [this] { return &Pen(); });     // Pen.Color = ..., Pen.Mode = ...
//     t.Object("Gradient", [this] { return &Gradient(); }).StoredWhen([this] { return HasGradient(); });
//     t.Reference("Series", [this] { return Series(); },
//                 [this](streaming::TStoredComponent *c) { SetSeries(dynamic_cast<TChartSeries *>(c)); });
//   }
//
// Plain values are stored only when they differ from the default given;
// StoredWhen(pred) replaces that test ("SeriesColor only when not
// clDefault"). Custom keys have their own reader and writer:
//
//   t.Define("Identifier",
//            [this](const TValue &v, TReadContext &) { SetIdentifier(v.AsString()); },
//            [this]() -> std::optional<TValue> {
//              if (Identifier().empty()) return std::nullopt;
//              return TValue::MakeString(Identifier());
//            });
//   t.Define("Multiplier", reader, nullptr);                  // old key: read, never written
//   t.Binary("Data", [this](TBinaryReader &r, TReadContext &) { ReadData(r); },
//            [this](TBinaryWriter &w) { WriteData(w); })
//       .StoredWhen([this] { return StoreDataAlways() || (HasManualData() && !NeverStoreData()); });
//
// Sets of named bits: t.SetOf(name, get, set, def, bitNames). Owned
// collections (custom axes, drawn lines, image filters) implement
// TStoredCollection and are declared with t.Collection(name, items); items
// of several classes write their class before each record and are made
// with ctx.Registry().Create(className) in StoredAdd.
//
// A custom key may hold records and reuse the generic property reading
// and writing on a part: ctx.ReadRecord(value, item) and RecordOf(item);
// per-point items are a list with nil where a point has no item.
// Indexes into lists that later members fill ("CustomHorizAxis" into the
// chart's custom axes) are resolved in ctx.AddFixup(fn); names of other
// components with Reference() or ctx.ResolveLater(name, assign).
//
// Components: override ClassName() (the registered name),
// InsertStoredChild() (take ownership of a child read from a definition),
// StoredChildren() (the children to write) and Loaded(). Loading() is true
// from creation by a reader until just before Loaded().
//
// ==== Reading and writing ==============================================
//
// Classes are registered by name in ClassRegistry() by the units' start-up
// functions (RegisterClass<TChart>("TChart")) and removed at shut-down.
//
//   ReadComponent(text, *this);      // a window reads its own definition
//   auto c = ReadComponent(text);    // or the root is created by class name
//   std::string text = WriteComponent(root);
//
// Reading parses the whole text first (a syntax error touches no object),
// checks every class name, then creates and applies; then assigns the
// references, runs the fix-ups in the order they were added, and calls
// Loaded() on every component in creation order (parents first). Bad
// definitions raise EDefinitionError (unknown class or property, wrong
// kind of value, value out of range, short or overlong binary block, a
// name used twice or never defined); faults a setter raises come back as
// EDefinitionError naming the property and the line. After a fault the
// components made so far are left out of the loading state, without
// Loaded(). A binary reader must consume its whole block.
//
// Writing gives each component's properties in declaration order, nested
// objects as dotted paths, then its stored children. Writing, reading and
// writing again gives the same text.
#pragma once

#include "platform/streaming/BinaryBlock.h"
#include "platform/streaming/DefinitionReader.h"
#include "platform/streaming/DefinitionText.h"
#include "platform/streaming/DefinitionWriter.h"
#include "platform/streaming/Persistent.h"
#include "platform/streaming/StoredValue.h"
