#include "device/common/BaseThread.h"

#include <pthread.h>

CBaseThread::~CBaseThread() { StopThread(); }

bool CBaseThread::StartThread(const char* name, IThreadFuncInterface* body, void* param,
                              int /*priority*/, std::size_t /*stackSize*/, unsigned int /*flags*/) {
    if (body == nullptr || running_.load())
        return false;
    if (thread_.joinable())
        thread_.join(); // previous body has returned; reap it
    std::string threadName = name != nullptr ? name : "";
    running_.store(true);
    try {
        thread_ = std::thread([this, body, param, threadName] {
            if (!threadName.empty())
                pthread_setname_np(pthread_self(), threadName.substr(0, 15).c_str());
            body->ThreadFunc(param);
            running_.store(false);
        });
    } catch (const std::system_error&) {
        running_.store(false);
        return false;
    }
    return true;
}

void CBaseThread::StopThread() {
    if (!thread_.joinable())
        return;
    if (thread_.get_id() == std::this_thread::get_id()) {
        thread_.detach();
        return;
    }
    thread_.join();
}

int CBaseThread::IsThreadExit() const { return running_.load() ? 0 : 1; }
