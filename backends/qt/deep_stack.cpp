#include "tavo/qt/deep_stack.h"

// Qt's own threads will not do: a QThread made here would make this thread
// Qt's main thread, before the body makes its QApplication.
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <pthread.h>
#endif

#include <exception>

namespace tavo {

namespace {

struct Run {
    const std::function<int()>& body;
    int result = 0;
    std::exception_ptr error;
};

void runBody(Run& run) {
    try {
        run.result = run.body();
    } catch (...) {
        run.error = std::current_exception();
    }
}

#ifdef _WIN32
DWORD WINAPI runThread(void* arg) {
    runBody(*static_cast<Run*>(arg));
    return 0;
}

// The stack is reserved, not committed: only the pages a deep tree touches
// are used.
bool runOnThread(Run& run, std::size_t bytes) {
    const HANDLE thread = ::CreateThread(nullptr, bytes, runThread, &run, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!thread) return false;
    ::WaitForSingleObject(thread, INFINITE);
    ::CloseHandle(thread);
    return true;
}
#else
void* runThread(void* arg) {
    runBody(*static_cast<Run*>(arg));
    return nullptr;
}

bool runOnThread(Run& run, std::size_t bytes) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return false;
    pthread_t thread;
    const bool started = pthread_attr_setstacksize(&attributes, bytes) == 0 &&
                         pthread_create(&thread, &attributes, runThread, &run) == 0;
    pthread_attr_destroy(&attributes);
    if (started) pthread_join(thread, nullptr);
    return started;
}
#endif

}  // namespace

int runOnDeepStack(const std::function<int()>& body, std::size_t bytes) {
    Run run{body, 0, nullptr};
    if (!runOnThread(run, bytes)) return body();
    if (run.error) std::rethrow_exception(run.error);
    return run.result;
}

}  // namespace tavo
