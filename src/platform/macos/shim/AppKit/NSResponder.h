#pragma once
// NSResponder: the base of everything that takes part in event handling (views, windows).

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

@class NSEvent;

@interface NSResponder : NSObject
// The primary button went down; the default passes the event to the next responder.
- (void)mouseDown:(NSEvent*)event;
// The secondary button went down; the default passes the event to the next responder.
- (void)rightMouseDown:(NSEvent*)event;
// The pointer moved, for a tracking area's owner or the first responder of a window that
// accepts mouse-moved events; the default passes the event to the next responder.
- (void)mouseMoved:(NSEvent*)event;
// The wheel or the trackpad scrolled; the default passes the event to the next responder.
- (void)scrollWheel:(NSEvent*)event;
@end

NS_ASSUME_NONNULL_END
