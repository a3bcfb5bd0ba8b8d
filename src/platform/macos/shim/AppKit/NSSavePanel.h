#pragma once
// NSSavePanel: the file panel's shared settings, and running it modally.

#import <Foundation/Foundation.h>

#include "AppKit/NSApplication.h"
#include "AppKit/NSPanel.h"

NS_ASSUME_NONNULL_BEGIN

@class UTType;

@interface NSSavePanel : NSPanel
@property(null_resettable, copy) NSString* message;
// Only files of these types can be chosen; empty allows any file.
@property(copy) NSArray<UTType*>* allowedContentTypes;
// NSModalResponseOK when the user confirmed, NSModalResponseCancel otherwise.
- (NSModalResponse)runModal;
@end

NS_ASSUME_NONNULL_END
