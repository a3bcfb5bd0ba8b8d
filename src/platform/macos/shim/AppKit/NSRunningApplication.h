#pragma once
// NSRunningApplication: one running application, its identity and the requests other
// processes may make of it; and the activation policy and options it shares with
// NSApplication.

#import <Foundation/Foundation.h>
#include <sys/types.h>

NS_ASSUME_NONNULL_BEGIN

typedef NS_ENUM(NSInteger, NSApplicationActivationPolicy) {
  NSApplicationActivationPolicyRegular = 0,
  NSApplicationActivationPolicyAccessory = 1,
  NSApplicationActivationPolicyProhibited = 2,
};

// Bits: 1 << 0 all windows, 1 << 1 ignoring other applications (the seam passes them raw).
typedef NSUInteger NSApplicationActivationOptions;

@interface NSRunningApplication : NSObject
// Nil when no process has the identifier.
+ (nullable instancetype)runningApplicationWithProcessIdentifier:(pid_t)pid;
@property(readonly, getter=isTerminated) BOOL terminated;
@property(readonly) pid_t processIdentifier;
@property(nullable, readonly, copy) NSString* localizedName;
@property(nullable, readonly, copy) NSString* bundleIdentifier;
@property(nullable, readonly, copy) NSURL* bundleURL;
@property(readonly) NSApplicationActivationPolicy activationPolicy;
// Whether the request was made; the activation itself may still be turned down.
- (BOOL)activateWithOptions:(NSApplicationActivationOptions)options;
// A polite request to quit; NO when it could not be sent or the application is gone.
- (BOOL)terminate;
- (BOOL)forceTerminate;
@end

NS_ASSUME_NONNULL_END
