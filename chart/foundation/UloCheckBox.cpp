#include "chart/foundation/UloProcs.h"

#include "platform/gdi/Gdi.h"

void UloDrawCheckBox(int x, int y, gdi::DeviceContext &canvas, bool isCheckBox, bool checked) {
  canvas.DrawCheckFrame(x, y, isCheckBox, checked);
}
