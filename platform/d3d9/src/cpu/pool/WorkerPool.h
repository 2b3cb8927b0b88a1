#pragma once
// A small pool of worker threads for the draws' jobs. A job is a number of independent tasks
// taken in any order; the calling thread works too, so a pool of one thread runs everything on
// the caller. Each task writes only its own outputs, so results do not depend on the number of
// threads.
//
// A frame is a stream of short jobs (a mesh's bins, its vertex blocks), one after another. So a
// job ends with its last task, not when every worker has woken and checked in: a worker that
// wakes late finds the tasks taken and goes back to waiting. Between jobs the workers spin a
// little before they sleep, so the next job of the stream does not pay for waking them.
#include <atomic>
#include <cstdint>
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
    // pointer, so handing it over allocates nothing. Jobs are run one at a time, from one thread.
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
    // Takes and runs tasks of the current job until none is left.
    void Work(unsigned nWorker);

    std::vector<std::thread> m_workers;
    // The job: written by the caller before it publishes the job's ticket. Atomic because a
    // worker that woke late may read them while the next job is written; it then fails to take a
    // ticket of the old job and reads again.
    std::atomic<const void*> m_pJob{nullptr};
    std::atomic<TaskRoutine> m_pfnTask{nullptr};
    std::atomic<unsigned> m_nTasks{0};
    // The job's number in the high 32 bits, its next task in the low 32: a task is taken by
    // advancing it while the number is still the job's, so no stale worker can take a task of a
    // later job with an earlier job's routine.
    std::atomic<uint64_t> m_nTicket{0};
    std::atomic<unsigned> m_nFinished{0};   // tasks of the job done
    std::atomic<uint32_t> m_nJob{0};        // the job the workers are asked to join (wakes them)
    std::atomic<bool> m_bStop{false};
};
