#include "platform/work_queue.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>

WorkQueue::~WorkQueue() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        jobs_.clear();
        later_.clear();
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

void WorkQueue::push(std::function<void()> job, bool later) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (later) {
            later_.push_back(std::move(job));
            return;
        }
        jobs_.push_back(std::move(job));
        // Threads start with the first jobs, not before: a program that never
        // decodes in the background has none.
        if (threads_.size() < wanted_ && threads_.size() < jobs_.size()) threads_.emplace_back([this] { run(); });
    }
    wake_.notify_one();
}

void WorkQueue::release_later() {
    std::vector<std::function<void()>> released;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        released.swap(later_);
        yielding_ = true;
    }
    for (std::function<void()>& job : released) push(std::move(job), false);
}

void WorkQueue::run() {
    // Until the first picture the work here is the picture's own (what start-up
    // waits for) and runs at the game's priority: a thread below it gets
    // almost nothing on a machine busy with other programs, and the game
    // would wait for it. From then on (the sounds' decoding) it runs beside
    // the game's thread and the display server, never before them. (A thread
    // may lower its priority, not raise it again.)
    bool yielded = false;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (stopping_) return;
        if (yielding_ && !yielded) {
            setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
            yielded = true;
        }
        std::function<void()> job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
}

WorkQueue& background_work() {
    // The game's own thread keeps a core of its own.
    static WorkQueue queue(std::clamp<size_t>(std::thread::hardware_concurrency(), 2, 3) - 1);
    return queue;
}
