#include "text/QZ_Defs.h"

namespace qz {

TDiagnosticHook DiagnosticHook = nullptr;

} // namespace qz
