// Every text the interpreter itself prints, in both encodings a puzzle can
// have: messages are printed in the encoding of the puzzle being run.
#pragma once

#include "text/encoding.h"

enum class Msg {
    Compiling,   // "正在编译……\r\n"
    Searching,   // "正在搜索……\r\n"
    LineSuffix,  // " 行: " between the line number and the message
    SetDefined,
    SetUndefined,
    SetTooSmall,
    VariableDefined,
    VariableUndefined,
    Syntax,
    OutOfRange,
    MayBeOutOfRange,
    AlwaysFalse,
    BadOutput,
    NumberRange,
    NeedFileName,
    CannotOpen,
};

const char* Text(Msg id, Encoding encoding);
