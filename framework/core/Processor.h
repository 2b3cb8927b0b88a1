#pragma once
// Who the processor is, what it can do, and how fast its time-stamp counter runs, asked with the
// cpuid and rdtsc instructions. On processors without them every query reads as zero, so the
// record holds zeros and empty texts and the clock rate is 0.
#include <cstdint>
#include <functional>
#include <vector>

struct ProcessorInfo
{
    bool m_bSSE;             // leaf 1, EDX bit 25
    char m_szVendor[13];     // leaf 0: EBX, EDX, ECX, and a NUL
    bool m_b3DNow;           // leaf 0x80000001, EDX bit 31
    bool m_bCMOV;            // leaf 1, EDX bit 15
    bool m_bSSE2;            // leaf 1, EDX bit 26
    int32_t m_nFamily;       // leaf 1, EAX bits 8 to 11 (the extended family is not added)
    char m_szBrand[49];      // leaves 0x80000002 to 0x80000004, and a NUL
    bool m_bExtendedMMX;     // leaf 0x80000001, EDX bit 22
    bool m_bExtended3DNow;   // leaf 0x80000001, EDX bit 30
    bool m_bMMX;             // leaf 1, EDX bit 23
};

// Filled by DetectProcessor; zero until then.
extern ProcessorInfo g_ProcessorInfo;

// cpuid with the leaf in EAX (ECX is not set); the four registers through the pointers.
void QueryCpuid(uint32_t nLeaf, uint32_t* pEAX, uint32_t* pEBX, uint32_t* pECX, uint32_t* pEDX);
uint64_t ReadTimeStampCounter();

// Fills g_ProcessorInfo. A processor whose highest leaf ends the questions early leaves the
// remaining fields at 0 and the texts as far as they were filled (always terminated).
void DetectProcessor();

// The time-stamp counter's rate in Hz, measured across a 20 ms wait on the clock source
// (core/CoreHooks.h); 0 when the clock did not move forward.
uint64_t MeasureProcessorClock();

// ---- Test hooks.
struct CpuidEntry
{
    uint32_t m_nLeaf;
    uint32_t m_nEAX, m_nEBX, m_nECX, m_nEDX;
};
// cpuid answers from the table instead of the processor (a leaf missing from it reads as
// zeros); an empty table restores the processor.
void SetCpuidTable(std::vector<CpuidEntry> table);
// ReadTimeStampCounter calls this instead of rdtsc; null restores the processor's counter.
void SetTimeStampCounterSource(std::function<uint64_t()> fnRead);
