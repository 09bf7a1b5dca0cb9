// The LISP functions that answer the host's dialogs.
#include "lisp.h"

namespace standin::lisp {

void installDialogFunctions(Interpreter&) {}

} // namespace standin::lisp
