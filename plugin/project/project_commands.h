// The LISP functions that manage the project: vogopen, lvogopen, vogset and
// vogvar. Each returns a host status code, which the LISP wrappers ignore.
#pragma once

#include "host_api.h"

namespace vog::project {

// vogopen: saves the open project, then opens the one chosen in the
// "vogopen" dialog. RTNORM when opened, RTCAN when the dialog was cancelled.
int vogopenCommand();

// The "vogopen" dialog: true when accepted with a point file, which is then
// stored in dpoints.
bool chooseProjectInDialog();

// lvogopen: saves the open project, then opens the point file named by the
// string of the first argument record, without a dialog.
int lvogopenCommand(const resbuf* args);

// vogset: the first argument record's string is the key, its successor's the
// value; only the keys the settings table marks settable are changed.
int vogsetCommand(const resbuf* args);

// vogvar: sets the LISP result to the list of 18 key/value string pairs in
// the settings table's vogvar order, or to nil when no project is open.
int vogvarCommand();

} // namespace vog::project
