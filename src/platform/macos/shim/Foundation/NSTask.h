#pragma once
// NSTask: running another program with arguments and redirected output.

#include "Foundation/NSArray.h"
#include "Foundation/NSObject.h"

NS_ASSUME_NONNULL_BEGIN

@class NSError;
@class NSString;
@class NSURL;

@interface NSTask : NSObject
@property(nullable, copy) NSURL* executableURL;
@property(nullable, copy) NSArray<NSString*>* arguments;
// An NSFileHandle or an NSPipe; launching closes the pipe's writing end in this process.
@property(nullable, retain) id standardOutput;
@property(nullable, retain) id standardError;
// NO (with the error) when the program could not be started.
- (BOOL)launchAndReturnError:(NSError* _Nullable* _Nullable)error;
- (void)waitUntilExit;
// The exit status, or the signal's number when a signal ended the program.
@property(readonly) int terminationStatus;
@end

NS_ASSUME_NONNULL_END
