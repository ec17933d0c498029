#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/common/DbgOutput.h"

namespace {

struct Sink {
    std::mutex mutex;
    std::vector<std::string> lines;
    static void Write(void* user, std::uint32_t, const char* text, std::uint32_t length) {
        auto* self = static_cast<Sink*>(user);
        std::lock_guard<std::mutex> guard(self->mutex);
        self->lines.emplace_back(text, length);
    }
};

// Plain lines for the duration of a test.
struct PlainLines {
    PlainLines() { DbgOutputSetTimeType(0); }
    ~PlainLines() { DbgOutputSetTimeType(1); }
};

} // namespace

TEST(DbgOutput, EachCallbackGetsItsOwnUserValueOnceUntilRemoved) {
    PlainLines plain;
    Sink a, b;
    EXPECT_TRUE(DbgOutputAddCallback(&Sink::Write, &a));
    EXPECT_TRUE(DbgOutputAddCallback(&Sink::Write, &a)); // the same pair is kept once
    EXPECT_TRUE(DbgOutputAddCallback(&Sink::Write, &b));
    DbgOutputA(2, "value %d\r\n", 7);
    EXPECT_TRUE(DbgOutputDelCallback(&Sink::Write, &a));
    EXPECT_FALSE(DbgOutputDelCallback(&Sink::Write, &a));
    DbgOutputA(2, "only b\r\n");
    DbgOutputA(3, "above the level\r\n");
    EXPECT_TRUE(DbgOutputDelCallback(&Sink::Write, &b));
    DbgOutputA(2, "nobody\r\n");

    EXPECT_EQ(a.lines, (std::vector<std::string>{"value 7\r\n"}));
    EXPECT_EQ(b.lines, (std::vector<std::string>{"value 7\r\n", "only b\r\n"}));
}

TEST(DbgOutput, LinesFromManyThreadsArriveWhole) {
    PlainLines plain;
    Sink sink;
    ASSERT_TRUE(DbgOutputAddCallback(&Sink::Write, &sink));
    constexpr int kThreads = 4;
    constexpr int kLines = 300;
    const std::string tail(200, 'x'); // long enough that a torn line would show
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([t, &tail] {
                for (int i = 0; i < kLines; ++i)
                    DbgOutputA(2, "thread %d line %d %s\r\n", t, i, tail.c_str());
            });
    }
    EXPECT_TRUE(DbgOutputDelCallback(&Sink::Write, &sink));

    ASSERT_EQ(sink.lines.size(), static_cast<std::size_t>(kThreads * kLines));
    std::vector<int> next(kThreads, 0);
    for (const std::string& line : sink.lines) {
        int t = -1, i = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "thread %d line %d", &t, &i), 2) << line;
        ASSERT_TRUE(t >= 0 && t < kThreads) << line;
        EXPECT_EQ(i, next[t]++) << "each thread's lines in order";
        EXPECT_EQ(line, "thread " + std::to_string(t) + " line " + std::to_string(i) + " " + tail +
                            "\r\n");
    }
}
