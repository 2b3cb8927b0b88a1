#include "core/Random.h"

#include <deque>

namespace
{
unsigned long g_nRandomNext = 1;
std::deque<int> g_QueuedRandom;
}

int Random()
{
    if (!g_QueuedRandom.empty())
    {
        int n = g_QueuedRandom.front();
        g_QueuedRandom.pop_front();
        return n;
    }
    g_nRandomNext = (g_nRandomNext * 1103515245UL + 12345UL) & 0xFFFFFFFFUL;
    return static_cast<int>((g_nRandomNext / 65536UL) % 32768UL);
}

void SeedRandom(unsigned int nSeed)
{
    g_nRandomNext = nSeed;
    g_QueuedRandom.clear();
}

unsigned int GetRandomState()
{
    return static_cast<unsigned int>(g_nRandomNext);
}

void QueueRandomValues(const int* pValues, int nCount)
{
    for (int i = 0; i < nCount; ++i)
        g_QueuedRandom.push_back(pValues[i]);
}
