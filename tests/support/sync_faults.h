#pragma once

// What a disk answers to fsync, without mounting one, for tests of any layer (header-only). The
// header stands in for the C library's fsync in the test program that includes it, so include it
// in one file of a program only. Any other fsync is the real one.

#include <atomic>
#include <cerrno>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace hostile {

inline std::atomic<int> s_folderSyncError {0};
inline std::atomic<int> s_nextSyncError {0};

// A file system without a folder sync (FUSE and network ones) from construction to the end of
// the scope: an fsync of a folder answers error (EOPNOTSUPP, EPERM, ...); files sync as ever.
class NoFolderSync
{
public:
    explicit NoFolderSync(int error) { s_folderSyncError = error; }
    ~NoFolderSync() { s_folderSyncError = 0; }
    NoFolderSync(const NoFolderSync&) = delete;
    NoFolderSync& operator=(const NoFolderSync&) = delete;
};

// The next fsync, of a file or a folder, answers error, as a disk that finds no room on flushing.
inline void failNextSync(int error)
{
    s_nextSyncError = error;
}

inline bool nextSyncFailurePending()
{
    return s_nextSyncError != 0;
}

} // namespace hostile

extern "C" int fsync(int fd)
{
    struct stat st;
    int error = hostile::s_nextSyncError.exchange(0);
    if (error == 0 && hostile::s_folderSyncError != 0 && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode))
        error = hostile::s_folderSyncError;
    if (error != 0) {
        errno = error;
        return -1;
    }
    return int(::syscall(SYS_fsync, fd));
}
