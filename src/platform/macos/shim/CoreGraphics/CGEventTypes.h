#pragma once
// CGEventTypes: Quartz events and event sources, the event types, the modifier flags, where
// an event is posted and which source state it carries: only the members the Mac layer uses,
// with Apple's values.

#include "CoreGraphics/CGBase.h"
#include "CoreGraphics/CGRemoteOperation.h"

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef struct CF_BRIDGED_TYPE(id) __CGEvent* CGEventRef;
typedef struct CF_BRIDGED_TYPE(id) __CGEventSource* CGEventSourceRef;

typedef CF_ENUM(uint32_t, CGEventType) {
  kCGEventLeftMouseDown = 1,
  kCGEventLeftMouseUp = 2,
  kCGEventRightMouseDown = 3,
  kCGEventMouseMoved = 5,
  kCGEventKeyDown = 10,
  kCGEventKeyUp = 11,
  kCGEventFlagsChanged = 12,
  kCGEventScrollWheel = 22,
  // What a tap hears when the system turned it off.
  kCGEventTapDisabledByTimeout = 0xFFFFFFFE,
  kCGEventTapDisabledByUserInput = 0xFFFFFFFF,
};

typedef CF_OPTIONS(uint64_t, CGEventFlags) {
  kCGEventFlagMaskShift = 0x00020000,
  kCGEventFlagMaskControl = 0x00040000,
  kCGEventFlagMaskAlternate = 0x00080000,
  kCGEventFlagMaskCommand = 0x00100000,
  kCGEventFlagMaskNumericPad = 0x00200000,
  kCGEventFlagMaskSecondaryFn = 0x00800000,
};

typedef CF_ENUM(uint32_t, CGEventTapLocation) {
  kCGHIDEventTap = 0,
  kCGSessionEventTap = 1,
  kCGAnnotatedSessionEventTap = 2,
};

typedef CF_ENUM(uint32_t, CGEventTapPlacement) {
  kCGHeadInsertEventTap = 0,
  kCGTailAppendEventTap = 1,
};

typedef CF_ENUM(uint32_t, CGEventTapOptions) {
  kCGEventTapOptionDefault = 0,
  kCGEventTapOptionListenOnly = 1,
};

// A bit per event type: CGEventMaskBit(type) is 1 << type.
typedef uint64_t CGEventMask;

typedef struct __CGEventTapProxy* CGEventTapProxy;

// Runs on the run loop the tap's source is on; a listen-only tap's answer is ignored.
typedef CGEventRef _Nullable (*CGEventTapCallBack)(CGEventTapProxy proxy, CGEventType type,
                                                   CGEventRef event, void* _Nullable userInfo);

typedef CF_ENUM(int32_t, CGEventSourceStateID) {
  kCGEventSourceStateCombinedSessionState = 0,
  kCGEventSourceStateHIDSystemState = 1,
};

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
