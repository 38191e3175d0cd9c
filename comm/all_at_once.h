// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#pragma once

#include <cstddef>
#include <functional>

namespace glintcaster {

/// Most tasks runAllAtOnce() runs at the same time: a whole campus (the substitute fleet
/// simulates as many). Further tasks wait for a free thread.
inline constexpr std::size_t kMaxAtOnce = 4096;
/// Stack reserved for each task thread. A task is a chain of blocking projector exchanges
/// whose records and buffers live on the heap: a send touches under 16 KiB of stack, so
/// this is ample, and 4096 threads reserve 2 GiB of address space instead of 32 GiB.
/// (What a thread costs in memory is the stack it touches, whatever is reserved.)
inline constexpr std::size_t kTaskStackBytes = 512u * 1024;

/// Runs task(0) .. task(count - 1) all at once (at most `maxAtOnce` at a time), each on a
/// plain thread with a kTaskStackBytes stack, and returns when every task has ended. Each
/// thread takes the next waiting task when its own has ended; when the system refuses
/// more threads, those already running take the rest, and with none at all the calling
/// thread runs every task. Tasks may block for as long as their own bounded waits; they
/// must not throw. Raises the limit of open files to the hard limit first, since every
/// task holds a connection.
void runAllAtOnce(std::size_t count, const std::function<void(std::size_t)> &task,
                  std::size_t maxAtOnce = kMaxAtOnce);

/// Raises this process's limit of open files to its hard limit (once is enough).
void raiseOpenFileLimit();

} // namespace glintcaster
