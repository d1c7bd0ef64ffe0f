// CInterpreterProbe: which of the newer options an interpreter understands,
// read from its --help text once per executable and remembered until the
// executable changes. Lets the editor window ask for JSON diagnostics and
// offer Explain only when the interpreter it runs can give them, so that it
// keeps working with older interpreters.
#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

struct CInterpreterFeatures {
    bool jsonDiagnostics = false;  // --diagnostics=json
    bool explain = false;          // --explain
};

class CInterpreterProbe {
public:
    // How long the interpreter may take to print its help.
    static constexpr int kTimeoutMs = 3000;
    // More help than this is not read.
    static constexpr qint64 kMaxHelpBytes = 1 << 16;

    // The features of the interpreter at `program`, asked when it has not
    // been asked since its file last changed. An interpreter that does not
    // answer in time, or fails, has none.
    CInterpreterFeatures Features(const QString& program);

    // What a --help text says about the features.
    static CInterpreterFeatures FromHelp(const QString& help);

private:
    struct CEntry {
        QDateTime modified;
        qint64 size = 0;
        CInterpreterFeatures features;
    };
    QHash<QString, CEntry> m_cache;
};
