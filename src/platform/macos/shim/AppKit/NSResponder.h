#pragma once
// NSResponder: the base of the objects that take part in event handling.

#import <Foundation/Foundation.h>

@interface NSResponder : NSObject
@end
