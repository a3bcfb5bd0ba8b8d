#pragma once
// Declarations for the type-check only, written from Apple's Core Text documentation
// (developer.apple.com/documentation/coretext): fonts, font descriptors, lines and runs as
// the canvas lays out and draws one line of text. On a Mac the SDK's own headers are used
// instead.

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>

#include "CoreText/CTFont.h"
#include "CoreText/CTFontDescriptor.h"
#include "CoreText/CTFontTraits.h"
#include "CoreText/CTLine.h"
#include "CoreText/CTRun.h"
#include "CoreText/CTStringAttributes.h"
