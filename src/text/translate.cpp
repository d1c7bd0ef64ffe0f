// The translation of the interpreter's own sentences.
#include "text/translate.h"

const char* Tr(const char* english) { return english; }
