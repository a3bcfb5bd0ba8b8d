#pragma once
// CarbonEventsCore: events, event targets, handlers and event parameters.

#include <CoreFoundation/CoreFoundation.h>

CF_EXTERN_C_BEGIN
CF_ASSUME_NONNULL_BEGIN

typedef struct OpaqueEventRef* EventRef;
typedef struct OpaqueEventTargetRef* EventTargetRef;
typedef struct OpaqueEventHandlerRef* EventHandlerRef;
typedef struct OpaqueEventHandlerCallRef* EventHandlerCallRef;
typedef OSType EventParamName;
typedef OSType EventParamType;

struct EventTypeSpec {
  OSType eventClass;
  UInt32 eventKind;
};
typedef struct EventTypeSpec EventTypeSpec;

// Answers noErr when it handled the event, eventNotHandledErr to pass it on.
typedef OSStatus (*EventHandlerProcPtr)(EventHandlerCallRef _Nullable inHandlerCallRef,
                                        EventRef inEvent, void* _Nullable inUserData);
typedef EventHandlerProcPtr EventHandlerUPP;
EventHandlerUPP NewEventHandlerUPP(EventHandlerProcPtr userRoutine);
void DisposeEventHandlerUPP(EventHandlerUPP userUPP);

// `inUserData` reaches the handler on every call; `*outRef` (NULL allowed) removes it again.
OSStatus InstallEventHandler(EventTargetRef inTarget, EventHandlerUPP inHandler,
                             ItemCount inNumTypes, const EventTypeSpec* inList,
                             void* _Nullable inUserData,
                             EventHandlerRef _Nullable* _Nullable outRef);
OSStatus RemoveEventHandler(EventHandlerRef inHandlerRef);

// Copies the parameter, converted to `inDesiredType`, into `outData` (`inBufferSize` bytes).
OSStatus GetEventParameter(EventRef inEvent, EventParamName inName, EventParamType inDesiredType,
                           EventParamType* _Nullable outActualType, ByteCount inBufferSize,
                           ByteCount* _Nullable outActualSize, void* _Nullable outData);

CF_ASSUME_NONNULL_END
CF_EXTERN_C_END
