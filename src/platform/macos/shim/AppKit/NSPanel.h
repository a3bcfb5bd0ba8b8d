#pragma once
// NSPanel: auxiliary windows, which may float without activating the application.

#import <Foundation/Foundation.h>

#include "AppKit/NSWindow.h"

NS_ASSUME_NONNULL_BEGIN

@interface NSPanel : NSWindow
@end

NS_ASSUME_NONNULL_END
