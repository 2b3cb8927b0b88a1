// The workers' pool: a long stream of short jobs, as a frame's draws make, runs every task of
// every job exactly once, within its job, on a worker the pool has, and finishes each job before
// Run returns; a worker that woke late for a job must never run a task of the next one.
#include "cpu/pool/WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

TEST(WorkerPoolTest, EveryTaskOfEveryJobRunsOnceBeforeRunReturns)
{
    for (unsigned nThreads : {1u, 2u, 3u, 8u})
    {
        WorkerPool pool(nThreads);
        ASSERT_EQ(pool.GetThreadCount(), nThreads);
        constexpr unsigned MAX_TASKS = 40;
        std::vector<std::atomic<unsigned>> runs(MAX_TASKS);
        std::atomic<unsigned> nWrongWorker{0};
        for (unsigned nJob = 0; nJob < 3000; ++nJob)
        {
            const unsigned nTasks = nJob % MAX_TASKS;   // 0 and 1 run on the caller alone
            for (auto& n : runs)
                n.store(0, std::memory_order_relaxed);
            // Each job's routine writes its own job number: a stale worker running it for a later
            // job would leave a slot counted twice or with the wrong number.
            std::vector<unsigned> owner(MAX_TASKS, ~0u);
            pool.Run(nTasks, [&, nJob](unsigned nTask, unsigned nWorker) {
                if (nWorker >= nThreads)
                    nWrongWorker.fetch_add(1);
                owner[nTask] = nJob;
                runs[nTask].fetch_add(1);
            });
            for (unsigned t = 0; t < MAX_TASKS; ++t)
            {
                ASSERT_EQ(runs[t].load(), t < nTasks ? 1u : 0u) << nThreads << " threads, job " << nJob << ", task " << t;
                ASSERT_EQ(owner[t], t < nTasks ? nJob : ~0u);
            }
        }
        EXPECT_EQ(nWrongWorker.load(), 0u);
    }
}
