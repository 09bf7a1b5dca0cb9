// Commands whose bodies are not part of this build yet. Each does nothing and
// reports success, so that its LISP function exists and returns no value.
#include "host/commands.h"

namespace vog {

int contoursCommand() { return RTNORM; }
int rmeshCommand() { return RTNORM; }
int showtinCommand() { return RTNORM; }

} // namespace vog
