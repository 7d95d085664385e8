#include "chart/foundation/UloStartup.h"

#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloFilters.h"
#include "chart/foundation/UloPens.h"
#include "chart/foundation/UloProCo.h"
#include "chart/foundation/UloProcs.h"

void StartChartFoundation() {
  LoadLibraryMessages();
  // Registration of series and tools stores these texts, so they come
  // before any unit that registers.
  UloSetProConstants();
  LoadDefaultFontSettings(UloMsgDefaultFontSize, UloMsgDefaultFontName);
  InitializeUloProcs();
  StartUloFilters();
}

void StopChartFoundation() {
  StopUloFilters();
  FinalizeUloProcs();
  UloClearProConstants();
  UnloadLibraryMessages();
}
