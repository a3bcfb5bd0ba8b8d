#pragma once
// AERegistry: the event that hands the application a URL of one of its schemes.

#include "CoreServices/AEDataModel.h"

enum {
  kInternetEventClass = 0x4755524C,  // 'GURL'
  kAEGetURL = 0x4755524C,            // 'GURL'
};
