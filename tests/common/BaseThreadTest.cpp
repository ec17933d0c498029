#include <gtest/gtest.h>

#include <atomic>
#include <pthread.h>
#include <string>

#include "device/common/BaseThread.h"
#include "device/common/Conversion.h"

namespace {

// Loops until its owner raises the stop flag, like the streaming workers.
class Looper : public IThreadFuncInterface {
public:
    unsigned int ThreadFunc(void* param) override {
        char name[16] = {};
        pthread_getname_np(pthread_self(), name, sizeof name);
        threadName = name;
        seenParam = param;
        while (!stop.load())
            HQ_Sleep(1);
        HQ_Sleep(20); // work after the flag, which StopThread must wait for
        finished = true;
        return 0;
    }
    std::atomic<bool> stop{false};
    std::atomic<bool> finished{false};
    std::string threadName;
    void* seenParam = nullptr;
};

} // namespace

TEST(BaseThread, StopWaitsForTheBodyAndAllowsARestart) {
    CBaseThread thread;
    Looper body;
    EXPECT_NE(thread.IsThreadExit(), 0);
    thread.StopThread(); // idle: returns at once
    int param = 7;
    ASSERT_TRUE(thread.StartThread("ReadData", &body, &param, 0, 0x400000, 0));
    EXPECT_FALSE(thread.StartThread("ReadData", &body, &param)); // one body at a time
    EXPECT_EQ(thread.IsThreadExit(), 0);
    body.stop = true;
    thread.StopThread();
    EXPECT_TRUE(body.finished);
    EXPECT_NE(thread.IsThreadExit(), 0);
    EXPECT_EQ(body.threadName, "ReadData");
    EXPECT_EQ(body.seenParam, &param);

    body.stop = false;
    body.finished = false;
    ASSERT_TRUE(thread.StartThread("SensingGenerate", &body, nullptr));
    body.stop = true;
    thread.StopThread();
    thread.StopThread();
    EXPECT_TRUE(body.finished);
    EXPECT_EQ(body.threadName, "SensingGenerate");
}

TEST(BaseThread, DestructorWaitsForARunningBody) {
    Looper body;
    {
        CBaseThread thread;
        ASSERT_TRUE(thread.StartThread("Download", &body, nullptr));
        body.stop = true;
    }
    EXPECT_TRUE(body.finished);
}
