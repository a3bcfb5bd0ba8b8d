#pragma once
// NSStatusBarButton: the button a status item shows in the menu bar.

#include "AppKit/NSButton.h"

@interface NSStatusBarButton : NSButton
@end
