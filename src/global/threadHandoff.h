#pragma once

#include <QObject>
#include <QThread>

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
// last step, and receive() is the lambda's first; the key is the receiving thread, whose
// event queue Qt locks. Nothing outside the thread-checked build. Owns nothing; used from
// any thread.
class ThreadHandoff
{
public:
    // Released once more with each copy; the key is the receiver's thread.
    explicit ThreadHandoff(const QObject *receiver)
        : mReceiverThread(receiver->thread())
    {
        release(mReceiverThread);
    }

    ThreadHandoff(const ThreadHandoff &other)
        : mReceiverThread(other.mReceiverThread)
    {
        release(mReceiverThread);
    }

    ThreadHandoff &operator=(const ThreadHandoff &) = delete;

    // On the receiving thread. Reads nothing the handing thread wrote, as nothing is
    // ordered before it yet.
    void receive() const
    {
        acquire(QThread::currentThread());
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
    // Read by the handing thread only.
    const QThread *mReceiverThread;
};

} // namespace Global
} // namespace QVt
