#pragma once
// A small pool of worker threads that sleep between jobs. A job is a number of independent
// tasks taken in any order; the calling thread works too, so a pool of one thread runs
// everything on the caller. Each task writes only its own outputs, so results do not depend on
// the number of threads.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

class WorkerPool
{
public:
    // nThreads counts the caller; 0 means one per hardware thread.
    explicit WorkerPool(unsigned nThreads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    unsigned GetThreadCount() const { return (unsigned)m_workers.size() + 1; }

    // Runs fn(task, worker) for task 0 .. nTasks-1; worker (0 .. GetThreadCount()-1) lets a task
    // use per-thread scratch. Returns when every task is done. fn is called through a plain
    // pointer, so handing it over allocates nothing.
    template <class Fn>
    void Run(unsigned nTasks, const Fn& fn)
    {
        RunTasks(nTasks, &fn, [](const void* pFn, unsigned nTask, unsigned nWorker) {
            (*static_cast<const Fn*>(pFn))(nTask, nWorker);
        });
    }

private:
    using TaskRoutine = void (*)(const void* pFn, unsigned nTask, unsigned nWorker);

    void RunTasks(unsigned nTasks, const void* pFn, TaskRoutine pfnTask);
    void WorkerLoop(unsigned nWorker);
    void Work(unsigned nWorker);

    std::vector<std::thread> m_workers;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    const void* m_pJob = nullptr;
    TaskRoutine m_pfnTask = nullptr;
    unsigned m_nTasks = 0;
    std::atomic<unsigned> m_nNext{0};
    unsigned m_nBusy = 0;
    unsigned long long m_nGeneration = 0;
    bool m_bStop = false;
};
