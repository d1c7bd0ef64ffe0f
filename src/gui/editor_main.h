// The entry point of TovikWin as a function: the command line, the
// application and its one window. main() calls it; the tests call it in a
// child process to try the editor as a whole program.
#pragma once

#include <functional>

class CMainWindow;

// Answers --help and --version before any display is needed, reports a bad
// option with status 1, otherwise shows the window with FILE opened, calls
// `started` with it, and runs the application until the window closes.
int EditorMain(int argc, char* argv[], const std::function<void(CMainWindow&)>& started = {});
