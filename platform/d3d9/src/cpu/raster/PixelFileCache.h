#pragma once
// The pixel stage's register files, one per worker, kept for each of the last few programs.
// Passes that take turns (a query loop's copy, address and estimate passes) find their files laid
// out and their constants in place, so a draw rewrites only the constants that changed instead of
// laying out a file per worker afresh.
#include "cpu/shader/ShaderExecutor.h"
#include "cpu/shader/ShaderPlan.h"

#include <array>
#include <cstdint>
#include <vector>

class PixelFileCache
{
public:
    // The files of the plan's program; the least recently used program's files when it has none.
    std::vector<ShaderRegisterFile>& FilesFor(const ShaderPlan& plan)
    {
        ++m_nClock;
        Entry* pOldest = &m_entries[0];
        for (Entry& entry : m_entries)
        {
            if (plan.nSerial != 0 && entry.nSerial == plan.nSerial)
            {
                entry.nLastUse = m_nClock;
                return entry.files;
            }
            if (entry.nLastUse < pOldest->nLastUse)
                pOldest = &entry;
        }
        pOldest->nSerial = plan.nSerial;
        pOldest->nLastUse = m_nClock;
        return pOldest->files;
    }

private:
    static constexpr size_t PROGRAMS = 8;
    struct Entry
    {
        uint64_t nSerial = 0;
        uint64_t nLastUse = 0;
        std::vector<ShaderRegisterFile> files;
    };
    std::array<Entry, PROGRAMS> m_entries;
    uint64_t m_nClock = 0;
};
