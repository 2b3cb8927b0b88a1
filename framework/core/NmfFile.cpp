#include "core/NmfFile.h"

#include "core/FileIO.h"
#include "core/Log.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace
{
constexpr char NMF_ID[4] = {'N', 'M', 'F', ' '};
constexpr char TRIS_ID[4] = {'T', 'R', 'I', 'S'};
constexpr size_t CHUNK_HEADER_SIZE = 8;

// The largest count whose "NMF " chunk size, 96 n + 12, still fits a signed 32-bit field.
constexpr int32_t NMF_MAX_WRITE_COUNT = static_cast<int32_t>((INT32_MAX - 12) / NMF_TRIANGLE_SIZE);

void Report(const char* szLine)
{
    std::fputs(szLine, stderr);
}

bool ReadChunkHeader(ByteReader& stream, char id[4], int32_t& nSize)
{
    if (stream.ReadBytes(id, 4) && stream.ReadI32(nSize))
        return true;
    Report("Unable to read header\n");
    return false;
}

// A size below zero would seek backwards and could loop for ever; one past the end cannot be
// a chunk of this file.
bool SkipChunk(ByteReader& stream, int32_t nSize)
{
    if (nSize < 0 || static_cast<size_t>(nSize) > stream.GetRemaining())
    {
        Report("Chunk size doesn't match file size\n");
        return false;
    }
    return stream.Skip(static_cast<size_t>(nSize));
}

// The chunks inside "NMF ", up to the "TRIS" chunk, whose records it reads.
bool ReadNmfChunk(ByteReader& stream, std::vector<NmfTriangle>& triangles, bool& bFound)
{
    while (!stream.IsAtEnd())
    {
        char id[4];
        int32_t nSize = 0;
        if (!ReadChunkHeader(stream, id, nSize))
            return false;
        if (std::memcmp(id, TRIS_ID, 4) == 0)
        {
            bFound = true;
            return ReadNmfTriangles(stream, triangles);
        }
        if (!SkipChunk(stream, nSize))
            return false;
    }
    return true;
}
}

bool WriteNmfFile(ByteWriter& stream, int32_t nCount, const NmfTriangle* pTriangles)
{
    if (nCount < 0 || nCount > NMF_MAX_WRITE_COUNT || (nCount > 0 && !pTriangles))
    {
        Report("Unable to write NMF header\n");
        return false;
    }
    int32_t nTrisSize = static_cast<int32_t>(NMF_TRIANGLE_SIZE) * nCount + 4;
    stream.WriteBytes(NMF_ID, 4);
    stream.WriteI32(nTrisSize + static_cast<int32_t>(CHUNK_HEADER_SIZE));
    stream.WriteBytes(TRIS_ID, 4);
    stream.WriteI32(nTrisSize);
    stream.WriteI32(nCount);
    for (int32_t i = 0; i < nCount; ++i)
        ForEachNmfField(pTriangles[i], [&stream](float f) { stream.WriteF32(f); });
    return true;
}

bool ReadNmfFile(ByteReader& stream, std::vector<NmfTriangle>& triangles)
{
    triangles.clear();
    while (!stream.IsAtEnd())
    {
        char id[4];
        int32_t nSize = 0;
        if (!ReadChunkHeader(stream, id, nSize))
            return false;
        if (std::memcmp(id, NMF_ID, 4) == 0)
        {
            bool bFound = false;
            bool bRead = ReadNmfChunk(stream, triangles, bFound);
            if (bFound || !bRead)
                return bRead;
        }
        else if (!SkipChunk(stream, nSize))
            return false;
    }
    Report("No NMF data found in file\n");
    return false;
}

bool ReadNmfTriangles(ByteReader& stream, std::vector<NmfTriangle>& triangles)
{
    triangles.clear();
    int32_t nCount = 0;
    if (!stream.ReadI32(nCount))
    {
        Report("Unable to read number of triangles\n");
        return false;
    }
    if (nCount <= 0)
    {
        Report("No triangles found in file\n");
        return false;
    }
    // The count comes from the file: records that are not there are never allocated.
    if (static_cast<uint64_t>(nCount) > stream.GetRemaining() / NMF_TRIANGLE_SIZE)
    {
        Report("Unable to read triangles\n");
        Report("End of file!\n");
        return false;
    }
    try
    {
        triangles.resize(static_cast<size_t>(nCount));
    }
    catch (const std::bad_alloc&)
    {
        std::fprintf(stderr, "Unable to allocate space for %d triangles\n", nCount);
        return false;
    }
    for (NmfTriangle& triangle : triangles)
        ForEachNmfField(triangle, [&stream](float& f) { stream.ReadF32(f); });
    return true;
}

bool CopyNmfFile(ByteReader& input, ByteWriter& output)
{
    std::vector<NmfTriangle> triangles;
    if (!ReadNmfTriangles(input, triangles))
    {
        Report("Unable to read input file\n");
        return false;
    }
    if (!WriteNmfFile(output, static_cast<int32_t>(triangles.size()), triangles.data()))
    {
        Report("Unable to write output file\n");
        return false;
    }
    return true;
}

bool ReadNmfFile(const char* szName, std::vector<NmfTriangle>& triangles)
{
    triangles.clear();
    std::vector<uint8_t> data;
    if (!ReadWholeFile(szName, data))
    {
        LogError("ReadNmfFile() - Unable to read \"%s\".", szName ? szName : "");
        return false;
    }
    ByteReader stream(data);
    return ReadNmfFile(stream, triangles);
}

bool WriteNmfFile(const char* szName, int32_t nCount, const NmfTriangle* pTriangles)
{
    ByteWriter stream;
    if (!WriteNmfFile(stream, nCount, pTriangles))
        return false;
    if (!WriteFileAtomic(szName, stream.GetBuffer()))
    {
        LogError("WriteNmfFile() - Unable to write \"%s\".", szName ? szName : "");
        return false;
    }
    return true;
}

bool CopyNmfFile(const char* szInput, const char* szOutput)
{
    std::vector<uint8_t> data;
    ByteWriter output;
    if (!ReadWholeFile(szInput, data))
    {
        Report("Unable to read input file\n");
        return false;
    }
    ByteReader input(data);
    if (!CopyNmfFile(input, output))
        return false;
    if (!WriteFileAtomic(szOutput, output.GetBuffer()))
    {
        Report("Unable to write output file\n");
        return false;
    }
    return true;
}
