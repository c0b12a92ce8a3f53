// Diagnostics go through SDL's log: errors and warnings by category (SDL_LOG_CATEGORY_VIDEO
// for the window and display, _RENDER for the Direct3D device, _APPLICATION for the entry
// and the capture), shown from warnings up. LETTERBOX_LOG=info, debug or verbose shows more
// (error or critical fewer), for every category at once.
#pragma once

#include <SDL_log.h>

// Sets every category's priority from `setting` (the value of LETTERBOX_LOG, may be null);
// false when the setting names no priority, which then leaves warnings and errors shown.
bool configureDiagnosticLog(const char* setting);
