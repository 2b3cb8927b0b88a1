#include "cpu/pool/WorkerPool.h"

#include <algorithm>
#include <chrono>

namespace
{
// How long a thread spins on a value before it sleeps on it: longer than the gap between two
// jobs of a stream of draws (a query loop runs a few small draws on the calling thread between
// two that use the workers), so the stream keeps the workers awake, and waking a sleeping worker
// (a system call on the caller's path, then the wait until it runs) is left to an idle device.
// After the first part of it the thread yields between looks, so on a busy machine the spin
// gives its processor to other threads (a worker holding a task, another program) instead of
// taking their time.
constexpr std::chrono::microseconds SPIN_TIME{2000};
constexpr std::chrono::microseconds BUSY_SPIN_TIME{20};

void Pause()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

// Waits until value differs from nOld (or bDone() holds), spinning for SPIN_TIME first; returns
// the value seen.
template <class T, class Done>
T WaitWhileEqual(const std::atomic<T>& value, T nOld, Done bDone)
{
    const auto start = std::chrono::steady_clock::now();
    for (unsigned i = 1;; ++i)
    {
        const T nNow = value.load(std::memory_order_acquire);
        if (nNow != nOld || bDone())
            return nNow;
        if (i % 64 == 0)
        {
            const auto elapsed = std::chrono::steady_clock::now() - start;
            if (elapsed > SPIN_TIME)
                break;
            if (elapsed > BUSY_SPIN_TIME)
                std::this_thread::yield();
        }
        Pause();
    }
    while (true)
    {
        value.wait(nOld, std::memory_order_acquire);
        const T nNow = value.load(std::memory_order_acquire);
        if (nNow != nOld || bDone())
            return nNow;
    }
}
}

WorkerPool::WorkerPool(unsigned nThreads)
{
    if (nThreads == 0)
        nThreads = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned i = 1; i < nThreads; ++i)
        m_workers.emplace_back([this, i] { WorkerLoop(i); });
}

WorkerPool::~WorkerPool()
{
    m_bStop.store(true, std::memory_order_release);
    m_nJob.fetch_add(1, std::memory_order_acq_rel);
    m_nJob.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
}

void WorkerPool::RunTasks(unsigned nTasks, const void* pFn, TaskRoutine pfnTask)
{
    if (nTasks == 0)
        return;
    if (m_workers.empty() || nTasks == 1)
    {
        for (unsigned i = 0; i < nTasks; ++i)
            pfnTask(pFn, i, 0);
        return;
    }
    const uint32_t nJob = m_nJob.load(std::memory_order_relaxed) + 1;
    // The ticket is closed under the new job's number before the job's fields change: a worker
    // that read the last job's ticket and then these fields could otherwise take a task of the
    // last job's ticket with the new job's routine (running it twice and counting it as finished
    // before its time). Acquire keeps the field writes after the close.
    m_nTicket.exchange(((uint64_t)nJob << 32) | UINT32_MAX, std::memory_order_acq_rel);
    m_pJob.store(pFn, std::memory_order_relaxed);
    m_pfnTask.store(pfnTask, std::memory_order_relaxed);
    m_nTasks.store(nTasks, std::memory_order_relaxed);
    m_nFinished.store(0, std::memory_order_relaxed);
    m_nTicket.store((uint64_t)nJob << 32, std::memory_order_release);
    m_nJob.store(nJob, std::memory_order_release);
    m_nJob.notify_all();
    Work(0);
    unsigned nFinished = m_nFinished.load(std::memory_order_acquire);
    while (nFinished != nTasks)
        nFinished = WaitWhileEqual(m_nFinished, nFinished, [] { return false; });
}

void WorkerPool::Work(unsigned nWorker)
{
    while (true)
    {
        uint64_t nTicket = m_nTicket.load(std::memory_order_acquire);
        const void* pJob = m_pJob.load(std::memory_order_relaxed);
        const TaskRoutine pfnTask = m_pfnTask.load(std::memory_order_relaxed);
        const unsigned nTasks = m_nTasks.load(std::memory_order_relaxed);
        const uint64_t nJobBits = nTicket >> 32;
        // Take the next task of the job just read; a ticket of another job means the fields may
        // belong to it: read them again.
        bool bTaken = false;
        while ((nTicket >> 32) == nJobBits && (uint32_t)nTicket < nTasks)
        {
            // Release keeps the field reads above before the take, so a take of a ticket means
            // the fields read were that job's.
            if (m_nTicket.compare_exchange_weak(nTicket, nTicket + 1, std::memory_order_acq_rel,
                                                std::memory_order_acquire))
            {
                bTaken = true;
                break;
            }
        }
        if (!bTaken)
        {
            if ((nTicket >> 32) != nJobBits)
                continue;
            return;
        }
        pfnTask(pJob, (uint32_t)nTicket, nWorker);
        if (m_nFinished.fetch_add(1, std::memory_order_acq_rel) + 1 == nTasks)
            m_nFinished.notify_one();
    }
}

void WorkerPool::WorkerLoop(unsigned nWorker)
{
    uint32_t nSeen = 0;
    while (true)
    {
        nSeen = WaitWhileEqual(m_nJob, nSeen, [this] { return m_bStop.load(std::memory_order_acquire); });
        if (m_bStop.load(std::memory_order_acquire))
            return;
        Work(nWorker);
    }
}
