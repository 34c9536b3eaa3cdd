#pragma once

// A full disk without mounting one, for tests of any layer (header-only). A file
// size limit fails every write to a regular file past it with EFBIG, as a full
// disk fails it with ENOSPC; SIGXFSZ, which would end the process, is ignored
// meanwhile. The limit holds for the whole process (ctest's output is a pipe),
// from construction until release() or the end of the scope.

#include <csignal>
#include <sys/resource.h>

namespace hostile {

class FullDisk
{
public:
    explicit FullDisk(rlim_t bytesLeft = 0)
    {
        m_held = getrlimit(RLIMIT_FSIZE, &m_before) == 0;
        if (!m_held)
            return;
        m_handler = signal(SIGXFSZ, SIG_IGN);
        rlimit low = m_before;
        low.rlim_cur = bytesLeft;
        m_held = setrlimit(RLIMIT_FSIZE, &low) == 0;
    }
    ~FullDisk() { release(); }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool made() const { return m_held; }
    void release()
    {
        if (!m_held)
            return;
        setrlimit(RLIMIT_FSIZE, &m_before);
        signal(SIGXFSZ, m_handler);
        m_held = false;
    }

private:
    rlimit m_before {};
    void (*m_handler)(int) = SIG_DFL;
    bool m_held = false;
};

} // namespace hostile
