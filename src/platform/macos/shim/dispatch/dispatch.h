#pragma once
// Declarations for the type-check only, written from Apple's Dispatch documentation
// (developer.apple.com/documentation/dispatch). In Objective-C with ARC a queue is an object
// ARC retains and releases; in C++ it is a plain pointer released with dispatch_release.

#include <stdint.h>

#if defined(__OBJC__)
@protocol OS_dispatch_object;
@protocol OS_dispatch_queue;
typedef id<OS_dispatch_queue> dispatch_queue_t;
typedef id<OS_dispatch_object> dispatch_object_t;
typedef id dispatch_queue_attr_t;
#elif defined(__cplusplus)
// Every dispatch object is a dispatch_object_t, so a queue goes to dispatch_release as it is.
struct dispatch_object_s {};
struct dispatch_queue_s : dispatch_object_s {};
struct dispatch_queue_attr_s : dispatch_object_s {};
typedef dispatch_object_s* dispatch_object_t;
typedef dispatch_queue_s* dispatch_queue_t;
typedef dispatch_queue_attr_s* dispatch_queue_attr_t;
#else
typedef struct dispatch_queue_s* dispatch_queue_t;
typedef struct dispatch_object_s* dispatch_object_t;
typedef struct dispatch_queue_attr_s* dispatch_queue_attr_t;
#endif

#if defined(__cplusplus)
extern "C" {
#endif

#pragma clang assume_nonnull begin

typedef void (*dispatch_function_t)(void* _Nullable context);
#if defined(__BLOCKS__)
typedef void (^dispatch_block_t)(void);
#endif
typedef uint64_t dispatch_time_t;
#define DISPATCH_TIME_NOW (0ull)
#define DISPATCH_QUEUE_SERIAL nullptr

// The queue of the main thread, which the main run loop drains.
dispatch_queue_t dispatch_get_main_queue(void);
// The caller owns the new queue.
dispatch_queue_t dispatch_queue_create(const char* _Nullable label,
                                       dispatch_queue_attr_t _Nullable attr);
void dispatch_async_f(dispatch_queue_t queue, void* _Nullable context, dispatch_function_t work);
void dispatch_sync_f(dispatch_queue_t queue, void* _Nullable context, dispatch_function_t work);
#if defined(__BLOCKS__)
void dispatch_async(dispatch_queue_t queue, dispatch_block_t block);
#endif
#if !defined(__OBJC__)
void dispatch_release(dispatch_object_t object);
#endif

#pragma clang assume_nonnull end

#if defined(__cplusplus)
}
#endif
