#include "tavo/qt/deep_stack.h"

#include <pthread.h>

#include <exception>

namespace tavo {

namespace {

struct Run {
    const std::function<int()>& body;
    int result = 0;
    std::exception_ptr error;
};

void* runBody(void* arg) {
    auto* run = static_cast<Run*>(arg);
    try {
        run->result = run->body();
    } catch (...) {
        run->error = std::current_exception();
    }
    return nullptr;
}

}  // namespace

int runOnDeepStack(const std::function<int()>& body, std::size_t bytes) {
    Run run{body, 0, nullptr};
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return body();
    pthread_t thread;
    const bool started = pthread_attr_setstacksize(&attributes, bytes) == 0 &&
                         pthread_create(&thread, &attributes, runBody, &run) == 0;
    pthread_attr_destroy(&attributes);
    if (!started) return body();
    pthread_join(thread, nullptr);
    if (run.error) std::rethrow_exception(run.error);
    return run.result;
}

}  // namespace tavo
