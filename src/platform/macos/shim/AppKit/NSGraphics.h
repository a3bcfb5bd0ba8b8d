#pragma once
// NSGraphics: the system beep.

#if defined(__cplusplus)
extern "C" {
#endif

// Plays the user's alert sound.
void NSBeep(void);

#if defined(__cplusplus)
}
#endif
