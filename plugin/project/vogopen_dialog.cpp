#include "project/project_commands.h"

namespace vog::project {

// The dialog is not available yet: the project cannot be chosen this way, and
// the open behaves as a cancelled dialog.
bool chooseProjectInDialog() { return false; }

} // namespace vog::project
