#pragma once
// Named worker threads with a cooperative stop: the owner raises its own stop
// flag, then StopThread waits for the body to return.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>

class IThreadFuncInterface {
public:
    virtual ~IThreadFuncInterface() = default;
    // The thread body; runs once per StartThread on the new thread.
    virtual unsigned int ThreadFunc(void* param) = 0;
};

class CBaseThread {
public:
    CBaseThread() = default;
    ~CBaseThread();
    CBaseThread(const CBaseThread&) = delete;
    CBaseThread& operator=(const CBaseThread&) = delete;

    // Starts body->ThreadFunc(param) on a new thread named `name` (at most 15
    // characters reach the kernel). priority, stackSize and flags are accepted
    // for compatibility; the platform default stack is larger than any caller asks.
    // Returns false when a body is still running or the thread cannot start.
    bool StartThread(const char* name, IThreadFuncInterface* body, void* param, int priority = 0,
                     std::size_t stackSize = 0x400000, unsigned int flags = 0);
    // Waits until the body has returned. Safe to call when idle, repeatedly, and
    // from the body itself (then it only detaches, since a thread cannot join itself).
    void StopThread();
    // Nonzero when no body runs.
    [[nodiscard]] int IsThreadExit() const;

private:
    std::thread thread_;
    std::atomic<bool> running_{false};
};
