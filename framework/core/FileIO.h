#pragma once
// Opening, reading and writing whole files, all through the one path mapping (CoreHooks.h).
// Writes go to a temporary name beside the target and are renamed over it only when every byte
// is written, so a failed save never loses the previous file.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// fopen of the mapped name; "w" and "a" modes map for writing.
FILE* OpenFile(const char* szName, const char* szMode);

// The whole of a regular file; false (and an empty vector) for a missing file, a directory,
// a pipe or a read error.
bool ReadWholeFile(const char* szName, std::vector<uint8_t>& data);

// Writes the bytes to a temporary file, then renames it over the target.
bool WriteFileAtomic(const char* szName, const void* pData, size_t nSize);
inline bool WriteFileAtomic(const char* szName, const std::vector<uint8_t>& data)
{
    return WriteFileAtomic(szName, data.data(), data.size());
}

// The same for writers that stream through a FILE*: BeginAtomicWrite opens the temporary file,
// CommitAtomicWrite closes it and renames it (false, and the target untouched, if any write or
// the close failed), AbortAtomicWrite closes and removes it.
struct AtomicFile
{
    FILE* m_pFile = nullptr;
    std::string m_strTarget;
    std::string m_strTemp;
};
bool BeginAtomicWrite(const char* szName, AtomicFile& file);
bool CommitAtomicWrite(AtomicFile& file);
void AbortAtomicWrite(AtomicFile& file);
