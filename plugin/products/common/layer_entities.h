// Clearing a product's layer before it is drawn again, so that running a
// product twice replaces its entities instead of adding to them.
#pragma once

#include <string>

namespace vog::products {

// Deletes every entity of the current drawing whose layer is the given name,
// whoever made it, in selection order, and frees the selection. Entities of
// other layers are never touched, even when the name holds characters that
// the host's selection filter reads as wildcards. Always answers RTNORM.
int eraseLayerEntities(const std::wstring& layer);

} // namespace vog::products
