// Drawing output shared by the surface products: every entity and layer
// record goes to the host as a result-buffer list that is built, submitted
// with acdbEntMake and released at once, so no list outlives its entity.
#pragma once

#include "host_api.h"

#include <string>

namespace vog::products {

// The layer colours of the products.
constexpr int kContourLayerColour = 3;
constexpr int kIndexContourLayerColour = 5;
constexpr int kMeshLayerColour = 3;
constexpr int kTinLayerColour = 5;

// Submits the list with acdbEntMake and releases it; answers the host's
// result. A list that was not built (nullptr) is refused with RTERROR.
int makeEntity(resbuf* list);

// Submits the record (0 "LAYER") (6 "CONTINUOUS") (8 name) (62 colour). The
// host's verdict on the record is not asked for: a layer the host refuses is
// simply not there and the entities still name it. False only when the list
// could not be built; the caller reports that in its own words.
bool makeLayerRecord(const std::wstring& name, int colour);

} // namespace vog::products
