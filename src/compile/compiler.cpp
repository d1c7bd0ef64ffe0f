// The compiler's one error path.
#include "compile/compiler.h"

void Compiler::Report(const char* message) {
    m_failed = true;
    m_diagnostics.Error(line, message);
}
