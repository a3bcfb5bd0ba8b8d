#pragma once
// AEDataModel: the four-character codes that name Apple events and their parameters.

#include "MacTypes.h"

typedef FourCharCode AEEventClass;
typedef FourCharCode AEEventID;
typedef FourCharCode AEKeyword;

enum {
  keyDirectObject = 0x2D2D2D2D,  // '----'
};
