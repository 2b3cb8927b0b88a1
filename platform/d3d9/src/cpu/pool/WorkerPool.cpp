#include "cpu/pool/WorkerPool.h"

#include <algorithm>

WorkerPool::WorkerPool(unsigned nThreads)
{
    if (nThreads == 0)
        nThreads = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned i = 1; i < nThreads; ++i)
        m_workers.emplace_back([this, i] { WorkerLoop(i); });
}

WorkerPool::~WorkerPool()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_wake.notify_all();
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
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pJob = pFn;
        m_pfnTask = pfnTask;
        m_nTasks = nTasks;
        m_nNext = 0;
        m_nBusy = (unsigned)m_workers.size();
        ++m_nGeneration;
    }
    m_wake.notify_all();
    Work(0);
    std::unique_lock<std::mutex> lock(m_mutex);
    m_done.wait(lock, [this] { return m_nBusy == 0; });
    m_pJob = nullptr;
}

void WorkerPool::Work(unsigned nWorker)
{
    while (true)
    {
        unsigned nTask = m_nNext.fetch_add(1, std::memory_order_relaxed);
        if (nTask >= m_nTasks)
            return;
        m_pfnTask(m_pJob, nTask, nWorker);
    }
}

void WorkerPool::WorkerLoop(unsigned nWorker)
{
    unsigned long long nSeen = 0;
    while (true)
    {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [&] { return m_bStop || m_nGeneration != nSeen; });
            if (m_bStop)
                return;
            nSeen = m_nGeneration;
        }
        Work(nWorker);
        std::lock_guard<std::mutex> lock(m_mutex);
        if (--m_nBusy == 0)
            m_done.notify_all();
    }
}
