#pragma once
// MacErrors: the OSStatus codes of the Carbon Event Manager's hot keys and handlers.

#include "MacTypes.h"

enum {
  eventNotHandledErr = -9874,  // a handler passes the event on to the next one
  eventHotKeyExistsErr = -9878,
  eventHotKeyInvalidErr = -9879,
};
