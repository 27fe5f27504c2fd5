// SPDX-License-Identifier: MIT
#pragma once

// The window: the application object, the main window over the registry the command line names, and
// its event loop; returns the exit status. The program file loads this part only to open the window.
extern "C" int tidewell_window_main(int argc, char** argv);
