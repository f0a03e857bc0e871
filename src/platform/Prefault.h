#pragma once
// Faulting in a large fresh buffer on another thread while this one works.
// The kernel zeroes each page on its first write; where that is slow (a
// virtual machine whose host has taken the freed memory back) it can cost
// more than the work that fills the buffer. A second core can pay it ahead.

#include <QtGlobal>

#include <atomic>
#include <thread>

namespace qz::platform {

// Faults in [data, data + size) on a thread of its own, without changing
// a byte: the owner may write the buffer meanwhile. It goes from the start
// upwards until Needed() says how much of the buffer will be used, then
// from the end of that downwards, so that an owner who writes from the
// start meets it in the middle rather than racing it. Stops early when
// destroyed. Buffers under MinimumSize, systems that cannot fault in
// ahead, and a thread that cannot be started all leave it idle: then the
// owner's own writes fault the pages in, as they would without it.
class TPrefault {
public:
    static constexpr qint64 MinimumSize = 8 * 1024 * 1024;

    TPrefault(char* data, qint64 size);
    ~TPrefault();
    TPrefault(const TPrefault&) = delete;
    TPrefault& operator=(const TPrefault&) = delete;

    // Only the first `bytes` of the buffer will be used.
    void Needed(qint64 bytes) noexcept;
    // Waits until the thread is done: then every page of what is needed is
    // faulted in, unless the system could not.
    void Wait();

private:
    void Run() noexcept;

    char* FData;
    qint64 FSize;
    std::atomic<qint64> FNeeded{-1}; // -1: not known yet
    std::atomic<bool> FStop{false};
    std::thread FThread;
};

} // namespace qz::platform
