#pragma once

#include <atomic>

#ifdef KT_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
#endif

namespace QVt {
namespace Global {

// Shows the thread checker a handover between threads that Qt makes through futex-based
// locks inside its own library (a queued or blocking call, quit(), a thread's end before
// QThread::wait() returns): Debian's Qt is not built for the checker, which cannot see them.
// The handing thread calls release() just before the handover, the receiving thread
// acquire() just after it, with the same key. A lambda handed to a queued call captures a
// ThreadHandoff by value, last: its copy into Qt's call object is then the handing thread's
// last step, and receive() is the lambda's first. Nothing outside the thread-checked build.
// Owns nothing; used from any thread.
class ThreadHandoff
{
public:
    explicit ThreadHandoff(const void *key)
        : mKey(key)
    {
        release(key);
    }

    ThreadHandoff(const ThreadHandoff &other)
        : mKey(other.mKey.load(std::memory_order_relaxed))
    {
        release(mKey.load(std::memory_order_relaxed));
    }

    ThreadHandoff &operator=(const ThreadHandoff &) = delete;

    void receive() const
    {
        acquire(mKey.load(std::memory_order_relaxed));
    }

    static void release(const void *key)
    {
#ifdef KT_THREAD_SANITIZER
        __tsan_release(const_cast<void *>(key));
#else
        static_cast<void>(key);
#endif
    }

    static void acquire(const void *key)
    {
#ifdef KT_THREAD_SANITIZER
        __tsan_acquire(const_cast<void *>(key));
#else
        static_cast<void>(key);
#endif
    }

private:
    // Atomic, as the receiving thread reads it before its acquire.
    std::atomic<const void *> mKey;
};

} // namespace Global
} // namespace QVt
