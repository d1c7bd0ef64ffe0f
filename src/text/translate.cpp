// The translation of the interpreter's own sentences, through gettext.
//
// glibc's gettext takes the language from LANGUAGE, but only while the
// LC_MESSAGES locale is not "C", and a locale such as zh_CN.UTF-8 is often
// not generated at all. So the language is chosen here from the environment
// and handed to gettext in LANGUAGE, and each lookup runs under the C.UTF-8
// locale on its own thread only: the process's locale stays as it is, so
// strerror and every other message keep their spelling.
#include "text/translate.h"

#include <cstdlib>
#include <cstring>

#if TOVIK_GETTEXT
#include <libintl.h>
#include <locale.h>
#endif

namespace {

constexpr const char* kDomain = "tovik";

bool IsCLocale(std::string_view name) {
    return name == "C" || name == "POSIX" || name.starts_with("C.") || name.starts_with("POSIX.");
}

}  // namespace

std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string out;
    auto value = values.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's' &&
            value != values.end()) {
            out += *value++;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string ChooseLanguage(const std::function<const char*(const char*)>& get) {
    std::string locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = get(name);
        if (value != nullptr && *value != '\0') {
            locale = value;
            break;
        }
    }
    // "C" turns translations off, whatever LANGUAGE says; "C.UTF-8" (the
    // one locale of a fresh system) does not, as in gettext.
    if (locale == "C" || locale == "POSIX") return "";
    const char* language = get("LANGUAGE");
    std::string chosen = language != nullptr && *language != '\0' ? language : locale;
    if (IsCLocale(chosen) || chosen.starts_with("en")) return "";
    return chosen;
}

#if TOVIK_GETTEXT

const char* Tr(const char* english) {
    locale_t messages = newlocale(LC_MESSAGES_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (messages == static_cast<locale_t>(nullptr)) return english;
    const locale_t previous = uselocale(messages);
    const char* text = dgettext(kDomain, english);
    uselocale(previous);
    freelocale(messages);
    return text;
}

void StartTranslations(const std::string& localeDirectory) {
    const std::string language =
        ChooseLanguage([](const char* name) -> const char* { return std::getenv(name); });
    if (language.empty()) {
        unsetenv("LANGUAGE");
        return;
    }
    setenv("LANGUAGE", language.c_str(), 1);
    bindtextdomain(kDomain, localeDirectory.c_str());
    bind_textdomain_codeset(kDomain, "UTF-8");
}

#else

// Without gettext (the WebAssembly build) every sentence stays English.
const char* Tr(const char* english) { return english; }
void StartTranslations(const std::string&) {}

#endif
