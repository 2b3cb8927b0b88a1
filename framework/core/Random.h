#pragma once
// The project's own random numbers, with the C library's documented range (0 to RAND_MAX_VALUE)
// and the recurrence the C standard gives as its example, so that noise tables, BSP builds and
// particle systems come out the same on every machine.

constexpr int RAND_MAX_VALUE = 32767;

// 0 to RAND_MAX_VALUE.
int Random();
// Restarts the sequence; the program starts as if seeded with 1.
void SeedRandom(unsigned int nSeed);
// The generator's state, so a caller can save and restore it around a test.
unsigned int GetRandomState();

// Tests make the generator return a scripted sequence first (to force a zero draw, say).
// The values are used in order, then the recurrence resumes.
void QueueRandomValues(const int* pValues, int nCount);
