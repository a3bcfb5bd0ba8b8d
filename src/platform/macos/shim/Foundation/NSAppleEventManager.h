#pragma once
// NSAppleEventManager: handlers for Apple events the application receives.

#include <CoreServices/CoreServices.h>

#include "Foundation/NSAppleEventDescriptor.h"
#include "Foundation/NSObject.h"

NS_ASSUME_NONNULL_BEGIN

@interface NSAppleEventManager : NSObject
+ (NSAppleEventManager*)sharedAppleEventManager;
// Replaces any handler already registered for that event. The selector has the form
// -handleAppleEvent:(NSAppleEventDescriptor*)event withReplyEvent:(NSAppleEventDescriptor*)reply.
- (void)setEventHandler:(id)handler
            andSelector:(SEL)handleEventSelector
          forEventClass:(AEEventClass)eventClass
             andEventID:(AEEventID)eventID;
@end

NS_ASSUME_NONNULL_END
