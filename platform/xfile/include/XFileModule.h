// Puts this parser into the module table as "d3dxof.dll" with its entry
// "DirectXFileCreate". Static initialisation does it too, but a static library's
// initialisers only run when something links this file in: calling this makes
// sure it is. Calling it again is harmless.
#pragma once

void registerXFileModule();
