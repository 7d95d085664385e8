// The solver's own refusals. Each is raised before anything is stored, and
// its text is what the window shows in its message box.
#pragma once

#include "platform/rtl/Exceptions.h"

#include <cstdint>
#include <string>

namespace workbench {

class ESolverError : public rtl::Exception {
public:
  using Exception::Exception;
};

// The texts of the completion message boxes and their caption.
inline constexpr const char *kMessageCaption = "kvelvatum";
inline constexpr const char *kIntegralDoneText = "Альтернированный интеграл рассчитан";
inline constexpr const char *kGuaranteedTimeDoneText = "Гарантированное время рассчитано";

// The guaranteed-time search gives up after this many steps.
inline constexpr int kMaxCaptureSteps = 10000;

std::string MsgTooFewNodes();
std::string MsgGridTooLarge(int64_t count);
std::string MsgNoStepCount();
std::string MsgBadTimeStep();
std::string MsgNegativeHorizon();
std::string MsgNoCapture();
// A cell of A (row and column from 1) that is no formula of t, with the
// parser's reason.
std::string MsgBadACell(int row, int col, const std::string &text, const std::string &reason);
std::string MsgEmptyCell();
std::string MsgNothingComputed();
std::string MsgDimensionsChanged();
std::string MsgNoControls();

} // namespace workbench
