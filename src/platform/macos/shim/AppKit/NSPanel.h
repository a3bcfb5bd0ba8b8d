#pragma once
// NSPanel: an auxiliary window.

#include "AppKit/NSWindow.h"

@interface NSPanel : NSWindow
@end
