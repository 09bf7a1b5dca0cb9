// The ten LISP functions of the plug-in: the table the application object
// registers per drawing, and the wrappers through which each call reaches its
// command body.
#pragma once

#include "app/arx_app.h"

namespace vog {

constexpr int kLispFunctionCount = 10;

// In table order; an entry's function code is its position.
extern const _ADSSYMBOL_ENTRY kLispFunctions[kLispFunctionCount];

} // namespace vog
