// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "comm/all_at_once.h"

#include <algorithm>
#include <atomic>
#include <pthread.h>
#include <sys/resource.h>
#include <vector>

namespace glintcaster {

namespace {

struct Shared {
    const std::function<void(std::size_t)> *task = nullptr;
    std::size_t count = 0;
    std::atomic<std::size_t> next{0};

    void drain()
    {
        for (std::size_t i = next++; i < count; i = next++)
            (*task)(i);
    }
};

void *threadMain(void *shared)
{
    static_cast<Shared *>(shared)->drain();
    return nullptr;
}

} // namespace

void raiseOpenFileLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

void runAllAtOnce(std::size_t count, const std::function<void(std::size_t)> &task,
                  std::size_t maxAtOnce)
{
    Shared shared;
    shared.task = &task;
    shared.count = count;
    if (count <= 1) {
        shared.drain();
        return;
    }
    raiseOpenFileLimit();
    pthread_attr_t attr;
    ::pthread_attr_init(&attr);
    ::pthread_attr_setstacksize(&attr, kTaskStackBytes);
    const std::size_t wanted = std::min(count, std::max<std::size_t>(1, maxAtOnce));
    std::vector<pthread_t> threads;
    threads.reserve(wanted);
    for (std::size_t k = 0; k < wanted; ++k) {
        pthread_t thread;
        if (::pthread_create(&thread, &attr, threadMain, &shared) != 0)
            break; // out of threads: those running take the rest
        threads.push_back(thread);
    }
    ::pthread_attr_destroy(&attr);
    if (threads.empty())
        shared.drain();
    for (pthread_t thread : threads)
        ::pthread_join(thread, nullptr);
}

} // namespace glintcaster
