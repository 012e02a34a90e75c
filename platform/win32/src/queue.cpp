#include "queue.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <map>

#include "win32/clock.h"
#include "win32/sync.h"

namespace winplat {

LoopWaiter::~LoopWaiter() = default;

namespace {

// poll() over an eventfd (wake-ups) and the loop's descriptors.
class PollWaiter : public LoopWaiter {
public:
    PollWaiter() : fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
    ~PollWaiter() override {
        if (fd_ >= 0) close(fd_);
    }
    void Wait(std::vector<pollfd>& fds, int timeoutMs) override {
        std::vector<pollfd> all;
        all.reserve(fds.size() + 1);
        all.push_back(pollfd{fd_, POLLIN, 0});
        all.insert(all.end(), fds.begin(), fds.end());
        int n = poll(all.data(), all.size(), timeoutMs);
        for (size_t i = 0; i < fds.size(); ++i) fds[i].revents = n > 0 ? all[i + 1].revents : 0;
        if (n > 0 && (all[0].revents & POLLIN)) {
            uint64_t count;
            while (read(fd_, &count, sizeof count) > 0) {
            }
        }
    }
    void Wake() override {
        uint64_t one = 1;
        while (write(fd_, &one, sizeof one) < 0 && errno == EINTR) {
        }
    }

private:
    int fd_;
};

struct Registry {
    std::mutex lock;
    std::map<DWORD, std::shared_ptr<ThreadQueue>> queues;
};

Registry& registry() {
    static Registry* r = new Registry;  // lives until exit: threads may end late
    return *r;
}

// The manual clock moving may make timers of any thread due.
void wakeAllQueues() {
    std::vector<std::shared_ptr<ThreadQueue>> all;
    {
        std::lock_guard<std::mutex> g(registry().lock);
        for (auto& q : registry().queues) all.push_back(q.second);
    }
    for (auto& q : all) {
        std::lock_guard<std::mutex> g(q->lock);
        q->WakeLocked();
    }
}

// Ends the thread's queue when the thread ends.
struct QueueHolder {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueHolder() {
        if (!queue) return;
        DWORD id = queue->threadId;
        DropThreadWindows(id);
        CancelThreadSelections(id);
        {
            std::lock_guard<std::mutex> g(registry().lock);
            registry().queues.erase(id);
        }
        std::deque<std::shared_ptr<SentMessage>> waiting;
        {
            std::lock_guard<std::mutex> g(queue->lock);
            queue->alive = false;
            waiting.swap(queue->incoming);
            queue->posted.clear();
            queue->timers.clear();
        }
        for (auto& s : waiting) CompleteSent(s, 0);
    }
};

thread_local QueueHolder t_holder;

}  // namespace

ThreadQueue::ThreadQueue(DWORD id)
    : threadId(id), default_(new PollWaiter), waiter_(default_.get()) {}
ThreadQueue::~ThreadQueue() = default;

void ThreadQueue::WakeLocked() {
    changed.notify_all();
    waiter_->Wake();
}

void ThreadQueue::SetWaiter(LoopWaiter* waiter) {
    std::lock_guard<std::mutex> g(lock);
    waiter_ = waiter ? waiter : default_.get();
}

LoopWaiter* ThreadQueue::Waiter() {
    std::lock_guard<std::mutex> g(lock);
    return waiter_;
}

std::shared_ptr<ThreadQueue> CurrentQueue() {
    if (!t_holder.queue) {
        static std::once_flag hookOnce;
        std::call_once(hookOnce, [] { SetClockAdvanceHook(&wakeAllQueues); });
        auto q = std::make_shared<ThreadQueue>(GetCurrentThreadId());
        std::lock_guard<std::mutex> g(registry().lock);
        registry().queues[q->threadId] = q;
        t_holder.queue = q;
    }
    return t_holder.queue;
}

std::shared_ptr<ThreadQueue> QueueOfThread(DWORD threadId) {
    std::lock_guard<std::mutex> g(registry().lock);
    auto it = registry().queues.find(threadId);
    return it == registry().queues.end() ? nullptr : it->second;
}

void WakeThread(DWORD threadId) {
    if (auto q = QueueOfThread(threadId)) {
        std::lock_guard<std::mutex> g(q->lock);
        q->WakeLocked();
    }
}

void CompleteSent(const std::shared_ptr<SentMessage>& sent, LRESULT result) {
    std::lock_guard<std::mutex> g(sent->sender->lock);
    if (sent->done) return;
    sent->result = result;
    sent->done = true;
    sent->sender->WakeLocked();
}

void SetLoopWaiter(LoopWaiter* waiter) {
    CurrentQueue()->SetWaiter(waiter);
}
LoopWaiter* GetLoopWaiter() {
    return CurrentQueue()->Waiter();
}

}  // namespace winplat
