// The "showtin" dialog: the layer the surface's faces are drawn on.
#pragma once

#include <string>

namespace vog::products {

// The layer of the display; kept from one use of the command to the next
// while the plug-in is loaded, "KT_Tin" whenever it would be empty.
std::wstring& tinLayerName();

// Puts "KT_Tin" in place of an empty layer name.
void useDefaultTinLayerWhenEmpty();

// Shows the dialog with the current layer name; on accept the name becomes
// the field's text as it stands. False when cancelled or when the dialog
// could not be shown.
bool askTinLayer();

} // namespace vog::products
