// SPDX-License-Identifier: GPL-3.0-or-later
// Watches for stalls of the machine itself: a thread on each core, at the
// lowest real-time priority, wakes every millisecond and notes when it woke
// more than kStallNs late. A sound server's audio threads run at a real-time
// priority, so a busy machine does not make them late, but what stops a
// real-time thread does: a virtual machine's core taken away for a while,
// or the kernel. A test tells with it whether a sound heard broken or late
// came with such a stall. Without the right to real-time scheduling it
// watches nothing (watching() is false): a thread at an ordinary priority is
// late whenever the machine is busy.
#pragma once

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "audio/monitor_recorder.h"

namespace mf::test {

class StallWatch {
public:
    static constexpr qint64 kStallNs = 3'000'000;

    StallWatch() {
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        for (unsigned core = 0; core < cores; ++core)
            threads_.emplace_back([this, core] { watch(core); });
    }
    ~StallWatch() {
        stop_ = true;
        for (std::thread& thread : threads_)
            thread.join();
    }
    StallWatch(const StallWatch&) = delete;
    StallWatch& operator=(const StallWatch&) = delete;

    bool watching() const { return watching_ > 0; }
    // The longest stall of any core between these times (nowNs()), in ms.
    double longestBetween(qint64 fromNs, qint64 toNs) const {
        const std::lock_guard lock(mutex_);
        qint64 longest = 0;
        for (const auto& [start, end] : stalls_)
            if (start < toNs && end > fromNs)
                longest = std::max(longest, end - start);
        return double(longest) / 1e6;
    }

private:
    void watch(unsigned core) {
        cpu_set_t cores;
        CPU_ZERO(&cores);
        CPU_SET(core, &cores);
        sched_param priority{};
        priority.sched_priority = 1;
        if (pthread_setaffinity_np(pthread_self(), sizeof cores, &cores) != 0
            || pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority) != 0)
            return;
        ++watching_;
        while (!stop_) {
            const qint64 due = nowNs() + 1'000'000;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            const qint64 woke = nowNs();
            if (woke - due > kStallNs) {
                const std::lock_guard lock(mutex_);
                stalls_.emplace_back(due, woke);
            }
        }
    }

    std::vector<std::thread> threads_;
    std::atomic<bool> stop_{false};
    std::atomic<int> watching_{0};
    mutable std::mutex mutex_;
    std::vector<std::pair<qint64, qint64>> stalls_;   // when a core stalled, from and to
};

} // namespace mf::test
