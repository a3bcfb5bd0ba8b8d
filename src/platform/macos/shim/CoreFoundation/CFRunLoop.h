#pragma once
// CFRunLoop: the main run loop, its modes, timers and sources.

#include "CoreFoundation/CFBase.h"
#include "CoreFoundation/CFDate.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef struct CF_BRIDGED_MUTABLE_TYPE(id) __CFRunLoop* CFRunLoopRef;
typedef struct CF_BRIDGED_MUTABLE_TYPE(id) __CFRunLoopSource* CFRunLoopSourceRef;
typedef struct CF_BRIDGED_MUTABLE_TYPE(NSTimer) __CFRunLoopTimer* CFRunLoopTimerRef;
typedef CFStringRef CFRunLoopMode;

// The pseudo-mode that stands for every common mode: the default mode, and those a menu or
// a drag runs in (event tracking, modal panels).
extern const CFRunLoopMode kCFRunLoopCommonModes;
extern const CFRunLoopMode kCFRunLoopDefaultMode;

typedef struct {
  CFIndex version;
  void* _Nullable info;
  const void* _Nullable (*_Nullable retain)(const void* _Nullable info);
  void (*_Nullable release)(const void* _Nullable info);
  CFStringRef _Nullable (*_Nullable copyDescription)(const void* _Nullable info);
} CFRunLoopTimerContext;
typedef void (*CFRunLoopTimerCallBack)(CFRunLoopTimerRef timer, void* _Nullable info);

CFRunLoopRef CFRunLoopGetMain(void);
CFRunLoopRef CFRunLoopGetCurrent(void);
void CFRunLoopRun(void);
void CFRunLoopStop(CFRunLoopRef rl);
void CFRunLoopWakeUp(CFRunLoopRef rl);
void CFRunLoopAddSource(CFRunLoopRef rl, CFRunLoopSourceRef source, CFRunLoopMode mode);
void CFRunLoopRemoveSource(CFRunLoopRef rl, CFRunLoopSourceRef source, CFRunLoopMode mode);
void CFRunLoopSourceInvalidate(CFRunLoopSourceRef source);

// `interval` 0 makes a one-shot timer. The timer retains nothing of `context` unless its
// retain callback is given; the caller owns the returned timer.
CFRunLoopTimerRef _Nullable CFRunLoopTimerCreate(
    CFAllocatorRef _Nullable allocator, CFAbsoluteTime fireDate, CFTimeInterval interval,
    CFOptionFlags flags, CFIndex order, CFRunLoopTimerCallBack callout,
    CFRunLoopTimerContext* _Nullable context) CF_RETURNS_RETAINED;
void CFRunLoopAddTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFRunLoopMode mode);
void CFRunLoopTimerInvalidate(CFRunLoopTimerRef timer);
Boolean CFRunLoopTimerIsValid(CFRunLoopTimerRef timer);
void CFRunLoopTimerSetTolerance(CFRunLoopTimerRef timer, CFTimeInterval tolerance);
CFTimeInterval CFRunLoopTimerGetTolerance(CFRunLoopTimerRef timer);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
