#pragma once
// Real NSMenus from menus as data, and NSImages from vector images, for the Objective-C++
// files of the layer (the application object and the status bar). The objects come back as
// owned CoreFoundation references so that this header stays plain C++; a caller takes them
// with `(__bridge NSMenu*)menu.get()`.

#include <CoreFoundation/CoreFoundation.h>

#include <memory>

#include "platform/canvas.h"
#include "platform/macos/cf_ptr.h"
#include "platform/menus.h"

namespace velmora::macos {

// An NSMenu with an NSMenuItem for each item; its items are enabled as the data says, never
// by the responder chain. Without handlers.onAction each item sends its own action (by
// selector name) to its target, as the main menu's items do. With it, choosing an item calls
// handlers.onAction with the item it was built from, and handlers.onClose hears the close
// after that (it is heard even without onAction). The menu keeps whatever hears it for as
// long as it lives.
CFPtr<CFTypeRef> makeNSMenu(const platform::Menu& menu, platform::MenuHandlers handlers = {});

// An NSImage of the picture's natural size that draws it afresh each time it is drawn, so it is
// sharp at every backing scale; null for no picture.
CFPtr<CFTypeRef> makeNSImage(std::shared_ptr<const platform::VectorImage> image);

}  // namespace velmora::macos
