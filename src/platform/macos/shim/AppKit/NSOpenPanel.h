#pragma once
// NSOpenPanel: the panel for choosing files and folders to open.

#import <Foundation/Foundation.h>

#include "AppKit/NSSavePanel.h"

NS_ASSUME_NONNULL_BEGIN

@interface NSOpenPanel : NSSavePanel
+ (NSOpenPanel*)openPanel;
@property BOOL canChooseFiles;
@property BOOL canChooseDirectories;
@property BOOL allowsMultipleSelection;
// What the user chose, once the panel ended with NSModalResponseOK.
@property(readonly) NSArray<NSURL*>* URLs;
@end

NS_ASSUME_NONNULL_END
