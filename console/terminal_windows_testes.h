// What the Windows console backend offers its own tests, beyond terminal.h.
#pragma once

// 1 forces the virtual-terminal output path, 0 the console API's, -1 (the
// default) lets terminalIniciar choose by the console.
void terminalWindowsForcarVt(int vt);
