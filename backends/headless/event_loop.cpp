#include "backends/headless/event_loop.h"

#include <algorithm>

#include "backends/headless/headless_children.h"
#include "backends/headless/recorder.h"
#include "host/error.h"

namespace tavo {

void EventLoop::post(std::function<void()> work) { queue_.push_back({nextSeq_++, std::move(work)}); }

bool EventLoop::deliverOne() {
    if (queue_.empty()) return false;
    const std::function<void()> work = std::move(queue_.front().work);
    queue_.pop_front();
    dispatch(work);
    return true;
}

void EventLoop::runUntilIdle() {
    while (deliverOne()) {
    }
}

void EventLoop::deliverQueued() {
    const uint64_t limit = nextSeq_;
    while (!queue_.empty() && queue_.front().seq < limit) deliverOne();
}

void EventLoop::advance(int64_t ms) {
    runUntilIdle();
    const int64_t until = now_ + ms;
    while (fireNextTimer(until)) {
    }
    now_ = std::max(now_, until);
}

void EventLoop::addTimer(const std::shared_ptr<HeadlessTimer>& timer) { timers_.push_back(timer); }

void EventLoop::dispatch(const std::function<void()>& work) {
    try {
        work();
    } catch (const HostError& e) {
        recorder_.recordHandlerError(e);
    }
}

bool EventLoop::fireNextTimer(int64_t until) {
    std::erase_if(timers_, [](const std::weak_ptr<HeadlessTimer>& t) { return t.expired(); });
    std::shared_ptr<HeadlessTimer> next;
    for (const auto& weak : timers_) {
        auto t = weak.lock();
        // Strictly earlier only: of two ticks due at once the older timer goes first.
        if (t && t->dueBy(until) && (!next || t->due() < next->due())) next = t;
    }
    if (!next) return false;
    now_ = std::max(now_, next->due());
    next->ticked();
    post([weak = std::weak_ptr<HeadlessTimer>(next)] {
        const auto t = weak.lock();
        if (t && !t->gone() && t->enabled()) fireHandler(t->onTimer);
    });
    runUntilIdle();
    return true;
}

}  // namespace tavo
