#pragma once

class Velto_Obj_List;

// A desktop logout (SIGTERM), Ctrl+C (SIGINT) and a closed terminal (SIGHUP)
// end the program as the Quit action does: every window closes, the main
// window writes its stop line and the exit status is 0. A signal cannot ask
// the observer anything: rows no file holds are written beside the night log.

// Catches the three signals; call before the main window exists. A signal
// that comes before the main window is ready waits.
void catch_quit_signals();
// From now on a caught signal ends the program through this window.
void quit_on_caught_signals(Velto_Obj_List &window);
