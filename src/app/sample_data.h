#pragma once
// Sample desktops for screenshots and demos: names, icons, colours, counted time and
// applications that look like a person's working week, laid over whatever desktops the
// machine has, instead of the live scan. Nothing of it is ever written to the user's defaults.
#include "app/velmora_app.h"

namespace velmora {

void useSampleData(VelmoraApp& app);

}  // namespace velmora
