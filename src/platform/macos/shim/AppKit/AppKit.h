#pragma once
// Declarations for the type-check only, written from Apple's AppKit documentation
// (developer.apple.com/documentation/appkit): the classes, methods, functions and constants
// the Mac layer uses, with their argument types and nullability. Objective-C only, as on a
// Mac. On a Mac the SDK's own headers are used instead.

#ifndef __OBJC__
#error "AppKit is an Objective-C framework: include it from .mm files only"
#endif

#import <CoreGraphics/CoreGraphics.h>
#import <Foundation/Foundation.h>
#include "AppKit/AppKitDefines.h"
#include "AppKit/NSAlert.h"
#include "AppKit/NSAnimation.h"
#include "AppKit/NSAnimationContext.h"
#include "AppKit/NSAppearance.h"
#include "AppKit/NSApplication.h"
#include "AppKit/NSAttributedString.h"
#include "AppKit/NSButton.h"
#include "AppKit/NSCell.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSControl.h"
#include "AppKit/NSEvent.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSFontDescriptor.h"
#include "AppKit/NSGraphics.h"
#include "AppKit/NSGraphicsContext.h"
#include "AppKit/NSImage.h"
#include "AppKit/NSMenu.h"
#include "AppKit/NSMenuItem.h"
#include "AppKit/NSOpenPanel.h"
#include "AppKit/NSPanel.h"
#include "AppKit/NSParagraphStyle.h"
#include "AppKit/NSPasteboard.h"
#include "AppKit/NSPopover.h"
#include "AppKit/NSResponder.h"
#include "AppKit/NSRunningApplication.h"
#include "AppKit/NSSavePanel.h"
#include "AppKit/NSScreen.h"
#include "AppKit/NSStatusBar.h"
#include "AppKit/NSStatusBarButton.h"
#include "AppKit/NSStatusItem.h"
#include "AppKit/NSText.h"
#include "AppKit/NSTextField.h"
#include "AppKit/NSTrackingArea.h"
#include "AppKit/NSView.h"
#include "AppKit/NSViewController.h"
#include "AppKit/NSWindow.h"
#include "AppKit/NSWorkspace.h"
