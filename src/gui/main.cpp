// Entry point of TovikWin, the puzzle editor.
#include "gui/editor_main.h"

int main(int argc, char* argv[]) { return EditorMain(argc, argv); }
