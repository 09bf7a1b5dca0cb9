// The "mesh" dialog: grid interval, height factor, skirt switch, base
// elevation and layer of the rectangular mesh, all project settings.
#pragma once

namespace vog::products {

// Shows the dialog filled from the settings; OK stores the fields into the
// settings. True when the dialog was closed with OK.
bool askMeshSettings();

} // namespace vog::products
