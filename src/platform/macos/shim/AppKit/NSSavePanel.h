#pragma once
// NSSavePanel: the file panel's shared settings, and running it modally.

#import <Foundation/Foundation.h>

#include "AppKit/NSApplication.h"
#include "AppKit/NSPanel.h"

NS_ASSUME_NONNULL_BEGIN

@class UTType;

@interface NSSavePanel : NSPanel
+ (NSSavePanel*)savePanel;
@property(null_resettable, copy) NSString* message;
// The file name the panel proposes, which the user may edit.
@property(copy) NSString* nameFieldStringValue;
// The chosen location once the panel ended with NSModalResponseOK.
@property(nullable, readonly, copy) NSURL* URL;
// Shows the panel modeless and returns at once; the handler runs on the main thread.
- (void)beginWithCompletionHandler:(void (^)(NSModalResponse result))handler;
// Only files of these types can be chosen; empty allows any file.
@property(copy) NSArray<UTType*>* allowedContentTypes;
// NSModalResponseOK when the user confirmed, NSModalResponseCancel otherwise.
- (NSModalResponse)runModal;
@end

NS_ASSUME_NONNULL_END
