// Messages on standard error, as text lines or JSON objects.
#include "app/reporter.h"

#include <cstdio>
#include <string_view>

#include "text/quoting.h"

namespace {

void Put(const std::string& line) {
    std::fflush(stdout);  // what came before stays before on a shared terminal
    std::fputs(line.c_str(), stderr);
}

}  // namespace

void Reporter::Write(const char* type, const std::string& text) {
    if (m_format != OutputFormat::Json) {
        const bool warning = std::string_view(type) == "warning";
        Put(std::string("tovik: ") + (warning ? "warning: " : "") + text + "\n");
        return;
    }
    std::string object = "{\"type\":\"";
    object += type;
    object += "\",\"message\":";
    AppendJsonString(object, text);
    Put(object + "}\n");
}

void Reporter::Stats(const std::string& text) {
    if (m_format == OutputFormat::Json)
        Write("stats", text);
    else
        Put(text + "\n");
}

void Reporter::CompileError(int line, const std::string& message) {
    if (m_format != OutputFormat::Json) {
        Put(m_puzzle + ":" + std::to_string(line) + ": " + message + "\n");
        return;
    }
    std::string object =
        "{\"type\":\"compile-error\",\"line\":" + std::to_string(line) + ",\"message\":";
    AppendJsonString(object, message);
    Put(object + "}\n");
}
