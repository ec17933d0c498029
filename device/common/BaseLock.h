#pragma once
// Mutual exclusion. Recursive, so a holder may call into code that locks again.

#include <mutex>

class CBaseLock {
public:
    void Lock() { mutex_.lock(); }
    void Unlock() { mutex_.unlock(); }

private:
    std::recursive_mutex mutex_;
};

class CAutoBaseLock {
public:
    explicit CAutoBaseLock(CBaseLock& lock) : lock_(lock) { lock_.Lock(); }
    explicit CAutoBaseLock(CBaseLock* lock) : CAutoBaseLock(*lock) {}
    ~CAutoBaseLock() { lock_.Unlock(); }
    CAutoBaseLock(const CAutoBaseLock&) = delete;
    CAutoBaseLock& operator=(const CAutoBaseLock&) = delete;

private:
    CBaseLock& lock_;
};
