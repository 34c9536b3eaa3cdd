#pragma once

#include <QDateTime>
#include <QString>

// Creates the per-user folder's sub-folders where missing and an empty
// "/Macro.ini" when there is none (an existing one is never touched).
// Failures are logged, not fatal: the program starts anyway.
void PrepareUserFolders();

// Removes the plain files of one folder whose last change is more than 7
// whole days before `now` (8 days or more). Sub-folders stay. A time in the
// future counts as very old, as the unsigned day count wraps.
void DeleteOldFiles(const QString& folder, const QDateTime& now);
void DeleteOldFiles(const QString& folder);

// The single-instance rule. The lock is an advisory lock on a file in the
// per-user folder, held through an open descriptor: the kernel drops it when
// its owner ends in any way (even SIGKILL), so a leftover file, whatever it
// holds and whichever machine name wrote it, never blocks the next start.
// Released when the object is destroyed.
class SingleInstance
{
public:
    explicit SingleInstance(const QString& lockPath = DefaultLockPath());
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False only while a live copy owns the lock. True when this process now
    // owns it, and also when no lock can be made at all (unwritable folder):
    // that must not keep the program from starting.
    bool TryAcquire();
    bool IsOwner() const { return m_owner; }

    static QString DefaultLockPath();

private:
    QString m_path;
    int m_fd = -1;
    bool m_owner = false;
};

namespace core {

// Heap policy of the program, set first thing in main: large blocks (decoded pictures, style
// buffers) are mapped on their own and go back to the system when freed, instead of raising
// the allocator's threshold and staying in the heap for good.
void TuneHeapForLargeBlocks();

// Before the application object: every window here is drawn by the raster engine and nothing
// uses OpenGL, so the X11 platform is told not to load the GL stack for the first window (about
// 9 MiB of private memory and a third of the time to the first paint). A user's own
// QT_XCB_GL_INTEGRATION is kept.
void UseRasterWindowsOnly();

// Before anything reads a file's date: with TZ unset the C library looks at /etc/localtime again on
// every local-time conversion, and Qt converts for each file date it reads (each picture a style
// sheet names, several times over): about 10,000 file lookups while the pages are built. Naming
// that same file in TZ lets the library read it once. A user's own TZ is kept.
void KeepLocalTimeZone();

// Hands freed heap pages back to the system (after a burst of short-lived allocations).
void releaseFreeHeap();

} // namespace core
