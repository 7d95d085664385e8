#include "workbench/SolverErrors.h"

#include "platform/rtl/Conversions.h"
#include "workbench/DirectionGrid.h"

namespace workbench {

std::string MsgTooFewNodes() { return "Число узлов сетки должно быть не меньше " + rtl::IntToStr(kMinGridNodes) + "."; }

std::string MsgGridTooLarge(int64_t count) {
  return "Сетка из " + rtl::IntToStr(count) + " направлений слишком велика: допускается не более " +
         rtl::IntToStr(kMaxGridDirections) + ". Уменьшите число узлов.";
}

std::string MsgNoStepCount() {
  return "При U = V = L число шагов берётся из гарантированного времени. Сначала нажмите «Гарантированное время».";
}

std::string MsgBadTimeStep() { return "Шаг по времени должен быть положительным числом."; }

std::string MsgNegativeHorizon() { return "Время T не может быть отрицательным."; }

std::string MsgNoCapture() {
  return "Захват не достигнут за " + rtl::IntToStr(kMaxCaptureSteps) + " шагов. Гарантированное время не найдено.";
}

std::string MsgBadACell(int row, int col, const std::string &text, const std::string &reason) {
  return "Клетка матрицы A (строка " + rtl::IntToStr(row) + ", столбец " + rtl::IntToStr(col) + ") «" + text +
         "» не является формулой от t: " + reason;
}

std::string MsgEmptyCell() { return "клетка пуста."; }

std::string MsgNothingComputed() {
  return "Альтернированный интеграл ещё не рассчитан. Сначала нажмите «Рассчитать АИ».";
}

std::string MsgDimensionsChanged() { return "Размерности изменились после расчёта. Нажмите «Рассчитать АИ» ещё раз."; }

std::string MsgNoControls() { return "Управления ещё не рассчитаны: нажмите «Рассчитать АИ» при U = V = L."; }

} // namespace workbench
