// Turning a chart's 3D view by dragging: horizontal movement changes the
// rotation, vertical movement the elevation. It can draw an exclusive-or
// outline of the 3D box instead of repainting at each step, and keep
// turning with decaying speed after the release.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "chart/engine/UloTool.h"
#include "chart/foundation/UloStoredParts.h"
#include "platform/forms/Timer.h"

enum class TRotateToolStyles { rsAll, rsRotation, rsElevation };

class TRotateTool : public TUloCustomTool {
public:
  TRotateTool();
  ~TRotateTool() override;

  // ---- properties
  forms::TMouseButton Button() const noexcept { return button_; }
  void SetButton(forms::TMouseButton value) { button_ = value; }
  // The screen cursor while dragging; 0 leaves the cursor alone.
  int Cursor() const noexcept { return cursor_; }
  void SetCursor(int value) { cursor_ = value; }
  // 0 stops when the button is released; 1..100, how slowly the spin
  // decays. Clamped to 0..100.
  int Inertia() const noexcept { return inertia_; }
  void SetInertia(int value);
  bool Inverted() const noexcept { return inverted_; }
  void SetInverted(bool value) { inverted_ = value; }
  // Drag sensitivity; 50 is normal.
  int Speed() const noexcept { return speed_; }
  void SetSpeed(int value) { speed_ = value; }
  TRotateToolStyles Style() const noexcept { return style_; }
  void SetStyle(TRotateToolStyles value) { style_ = value; }

  // Fired after each drag step.
  std::function<void(TRotateTool *sender)> OnRotate;

  // ---- operations
  // Adds the steps (degrees) to the chart's view.
  void RotateBy(double rotationStep, double elevationStep);
  // One drag step to (X, Y).
  void DragTo(int x, int y);
  // The chart's 3D box in the tool's pen; drawn twice, it is gone.
  void DrawOutlineBox();
  void InertiaTimerTick();

  // ---- state, for the program and its tests
  bool Dragging() const noexcept { return dragging_; }
  double RotationStep() const noexcept { return rotationStep_; }
  double ElevationStep() const noexcept { return elevationStep_; }
  // Whether the inertia timer runs.
  bool Spinning() const noexcept;

  // ---- the tool base's operations
  void ChartEvent(int stage) override;
  void ChartMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
  void SetActive(bool value) override;
  void SetParentChart(TCustomAxisPanel *value) override;
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  std::string GetEditor() const override { return "TRotateToolEditor"; }
  std::string GetGalleryName() const override;
  std::string GetGalleryHint() const override;
  std::string_view ClassName() const override { return "TRotateTool"; }

private:
  void StopTimer();

  forms::TMouseButton button_ = forms::TMouseButton::mbLeft;
  int cursor_ = 2020;
  int inertia_ = 0;
  bool inverted_ = false;
  int speed_ = 50;
  TRotateToolStyles style_ = TRotateToolStyles::rsAll;
  bool dragging_ = false;
  bool firstMove_ = false;
  bool savedAutoRepaint_ = false;
  bool autoRepaintSaved_ = false;
  int lastX_ = 0;
  int lastY_ = 0;
  std::unique_ptr<forms::TTimer> timer_;
  double rotationStep_ = 0;
  double elevationStep_ = 0;
  int savedCursor_ = 0;
  TUloStoredParts storedParts_;
};

// Registers the rotation tool in the tool registry; the stop removes it.
void StartRotateToolUnit();
void StopRotateToolUnit();
