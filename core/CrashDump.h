#pragma once

#include <QDateTime>
#include <QString>

// Writes a small text dump into the per-user "/Exception" folder when the process dies of a fatal
// signal or an unhandled C++ exception, then lets it die exactly as it would have.
// The dump holds what can be written safely from a dying process: the cause, the faulting address,
// process and thread ids and a raw backtrace.
class CrashDump final
{
public:
    CrashDump() = default;

    // Installs the handlers once for the process; later calls only refresh the dump folder.
    // GUI thread (or any thread before others start). Never fails loudly: without a folder no dump is written.
    static void Install();

    // "<folder>/yyyy_MM_dd_hh_mm_ss.dmp": a second crash within the same second replaces the first.
    static QString dumpFileName(const QString& folder, const QDateTime& when);

    // The folder the handler writes to: the per-user folder + "/Exception".
    static QString dumpFolder();
};
