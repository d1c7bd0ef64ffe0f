// Every text the interpreter itself prints. Text() hands them out in the
// encoding of the puzzle being run; the sources hold each in UTF-8 and GBK.
#pragma once

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
    Count
};

const char* Text(Msg id);
