#pragma once
// NMF triangle files: a chunked container holding an array of NmfTriangle records.
//
//   "NMF " chunk, size 96 n + 12
//     "TRIS" chunk, size 96 n + 4
//       int32 n, then n records of 96 bytes
//
// Every chunk is an 8-byte header (4-character id, int32 size of the body that follows) and its
// body; readers skip chunks of other ids, at the top level and inside "NMF ". All problems are
// reported as text lines on standard error ("Unable to read header\n" and the like) and a false
// result.
#include "core/ByteStream.h"
#include "core/NmfTriangle.h"

#include <cstdint>
#include <vector>

// Writes the whole file for nCount records. Fails, writing nothing, for a negative count, for a
// null array with a non-zero count, or for a count whose chunk sizes do not fit 32 bits.
bool WriteNmfFile(ByteWriter& stream, int32_t nCount, const NmfTriangle* pTriangles);

// Finds the "TRIS" chunk inside the "NMF " chunk and reads its records. On failure the vector
// is left empty.
bool ReadNmfFile(ByteReader& stream, std::vector<NmfTriangle>& triangles);

// Reads a count and that many records from the stream's current position (the body of a "TRIS"
// chunk). A count the remaining bytes cannot hold fails as a file cut short, before anything
// is allocated.
bool ReadNmfTriangles(ByteReader& stream, std::vector<NmfTriangle>& triangles);

// Reads a bare count and records from the input and writes them to the output as an NMF file.
bool CopyNmfFile(ByteReader& input, ByteWriter& output);

// The same on named files: read whole through the path mapping, written to a temporary file
// and renamed over the target only when complete.
bool ReadNmfFile(const char* szName, std::vector<NmfTriangle>& triangles);
bool WriteNmfFile(const char* szName, int32_t nCount, const NmfTriangle* pTriangles);
bool CopyNmfFile(const char* szInput, const char* szOutput);
