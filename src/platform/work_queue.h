// Work the media layer does beside the game's own thread: decoding the sounds
// and the fixed pictures while start-up opens the window. Jobs start in the
// order they were given; a result is waited for where it is needed, or made
// there when no thread has started it (Claimable). Leaving the program drops
// the jobs that have not started.
#pragma once
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// The result of a job given with WorkQueue::add_claimable. Asked for before
// any thread of the queue started the job, it is made by the asking thread
// itself: a starved queue (a busy machine, a low priority) never keeps the
// game waiting longer than the work itself takes.
template <class Result>
class Claimable {
public:
    Claimable() = default;
    bool valid() const { return result_.valid(); }
    const Result& get() const {
        if (job_ && !job_->claimed.exchange(true)) job_->run();
        return result_.get();
    }

private:
    friend class WorkQueue;
    struct Job {
        std::atomic<bool> claimed{false};
        std::packaged_task<Result()> run;
    };
    std::shared_ptr<Job> job_;
    std::shared_future<Result> result_;
};

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
    // A job a thread of the queue starts when it is free (with later, once
    // release_later was called), unless the result was asked for first
    // (Claimable::get runs it then).
    template <class Job>
    auto add_claimable(Job job, bool later = false) -> Claimable<decltype(job())> {
        Claimable<decltype(job())> result;
        result.job_ = std::make_shared<typename Claimable<decltype(job())>::Job>();
        result.job_->run = std::packaged_task<decltype(job())()>(std::move(job));
        result.result_ = result.job_->run.get_future().share();
        push([claim = result.job_] {
            if (!claim->claimed.exchange(true)) claim->run();
        }, later);
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
    bool yielding_ = false;  // release_later was called: the threads run below the game's
};

// The media layer's queue: a thread for every core but the game's, two at most.
WorkQueue& background_work();
