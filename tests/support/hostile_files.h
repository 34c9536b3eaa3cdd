#pragma once

// Files a user could hand the program in place of its own: a FIFO nobody
// writes to and a huge sparse file. Header-only, so that tests of any layer
// (core ones link nothing else) can use it.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace hostile {

// A FIFO at path for the life of the object. A reader that blocks on it would
// block for ever; after releaseAfterMs the FIFO is opened and closed as a
// writer every 50 ms, so such a reader ends (with nothing read) and the test
// can report it instead of hanging.
class Fifo
{
public:
    explicit Fifo(const QString& path, int releaseAfterMs = 5000)
        : m_path(QFile::encodeName(path))
    {
        ::unlink(m_path.constData());
        m_made = ::mkfifo(m_path.constData(), 0600) == 0;
        m_watch = std::thread([this, releaseAfterMs] {
            std::unique_lock<std::mutex> lock(m_lock);
            if (m_wake.wait_for(lock, std::chrono::milliseconds(releaseAfterMs), [this] { return m_done; }))
                return;
            m_released = true;
            // Again and again: a reader may open it more than once.
            do {
                const int fd = ::open(m_path.constData(), O_RDWR | O_NONBLOCK);
                if (fd >= 0)
                    ::close(fd);
            } while (!m_wake.wait_for(lock, std::chrono::milliseconds(50), [this] { return m_done; }));
        });
    }
    ~Fifo()
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_done = true;
        }
        m_wake.notify_all();
        m_watch.join();
        ::unlink(m_path.constData());
    }
    Fifo(const Fifo&) = delete;
    Fifo& operator=(const Fifo&) = delete;

    bool made() const { return m_made; }
    // Whether some reader was still blocked on it when the time ran out.
    bool hadToRelease()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_released;
    }

private:
    QByteArray m_path;
    bool m_made = false;
    std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_done = false;
    bool m_released = false;
    std::thread m_watch;
};

// A file of size bytes that takes no disk space: head, then zeros.
inline bool makeSparseFile(const QString& path, qint64 size, const QByteArray& head = QByteArray())
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(head) == head.size()
           && file.resize(size);
}

} // namespace hostile
