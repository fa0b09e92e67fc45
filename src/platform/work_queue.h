// Work the media layer does beside the game's own thread: decoding the sounds
// and the fixed pictures while start-up opens the window. Jobs start in the
// order they were given; a result is waited for where it is needed. Leaving
// the program drops the jobs that have not started.
#pragma once
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class WorkQueue {
public:
    explicit WorkQueue(size_t threads) : wanted_(threads == 0 ? 1 : threads) {}
    ~WorkQueue();
    WorkQueue(const WorkQueue&) = delete;
    WorkQueue& operator=(const WorkQueue&) = delete;

    // A job to start as soon as a thread is free; with later, only once
    // release_later was called (the jobs that must not slow the first picture).
    template <class Job>
    auto add(Job job, bool later = false) -> std::shared_future<decltype(job())> {
        using Result = decltype(job());
        auto task = std::make_shared<std::packaged_task<Result()>>(std::move(job));
        std::shared_future<Result> result = task->get_future().share();
        push([task] { (*task)(); }, later);
        return result;
    }
    // Starts the jobs held for later.
    void release_later();

private:
    void push(std::function<void()> job, bool later);
    void run();

    size_t wanted_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    std::vector<std::function<void()>> later_;
    std::vector<std::thread> threads_;
    bool stopping_ = false;
};

// The media layer's queue: a thread for every core but the game's, two at most.
WorkQueue& background_work();
