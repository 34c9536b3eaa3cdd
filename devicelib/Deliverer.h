#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace devicelib {

// One library thread that calls a caller's callbacks, one at a time, in order.
// Items carry the generation of the registration they belong to; an item whose
// generation is no longer current is dropped instead of called, so ending a
// connection never has to wait for a callback that is blocked.
class Deliverer final {
public:
    // coalesce: a new item replaces one still waiting (hot-plug calls carry no data).
    Deliverer(const std::atomic<std::uint64_t>& generation, bool coalesce);
    Deliverer(const Deliverer&) = delete;
    Deliverer& operator=(const Deliverer&) = delete;

    void post(std::uint64_t generation, std::function<void()> call);
    bool idle() const;
    // The thread stops taking items; a callback already running is left to finish.
    void close();

private:
    struct Item {
        std::uint64_t generation;
        std::function<void()> call;
    };
    void run();

    const std::atomic<std::uint64_t>& m_generation;
    const bool m_coalesce;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Item> m_items;
    bool m_busy = false;
    bool m_closed = false;
};

} // namespace devicelib
