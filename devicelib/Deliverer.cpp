#include "Deliverer.h"

namespace devicelib {

Deliverer::Deliverer(const std::atomic<std::uint64_t>& generation, bool coalesce)
    : m_generation(generation), m_coalesce(coalesce)
{
    // Detached on purpose: the owner lives for the whole process and nothing may
    // ever wait for this thread, which can sit in a caller's blocked callback.
    std::thread(&Deliverer::run, this).detach();
}

void Deliverer::post(std::uint64_t generation, std::function<void()> call)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_closed)
            return;
        if (m_coalesce)
            m_items.clear();
        m_items.push_back(Item{generation, std::move(call)});
    }
    m_wake.notify_one();
}

bool Deliverer::idle() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_items.empty() && !m_busy;
}

void Deliverer::close()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
        m_items.clear();
    }
    m_wake.notify_one();
}

void Deliverer::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_closed || !m_items.empty(); });
        if (m_closed)
            return;
        Item item = std::move(m_items.front());
        m_items.pop_front();
        if (item.generation != m_generation.load())
            continue;
        m_busy = true;
        lock.unlock();
        item.call();
        lock.lock();
        m_busy = false;
    }
}

} // namespace devicelib
