#pragma once
// The vertex part that both scene formats put at the start of a mesh's geometry block:
// int32 N (vertices, always 3 x F), int32 F (triangles), then N vertices of 8 floats (position,
// normal, texture coordinates u and v). Also the mesh's bounding sphere, which the readers set
// once the bounds are known.
//
//   ReadVertexBlock   decodes the block into a new mesh, checking the counts before anything
//                     is allocated (F > 0, N = 3F, N <= 2^24, 32N within the bytes left) and
//                     refusing a non-finite position; on success the mesh has its vertices,
//                     its bounding box, its offset (the middle of the box), an identity base
//                     matrix and its bounding sphere
//   WriteVertexBlock  writes the block from the mesh's vertex buffer when it can be read, else
//                     from its vertex array, with the texture coordinates divided by the mesh's
//                     texture size (the files hold normalised coordinates) without touching
//                     the mesh
#include "core/ByteStream.h"

#include <cstdint>

class SceneMesh;

// Largest vertex count a file may give one mesh.
constexpr int32_t MAX_FILE_VERTICES = 1 << 24;
// Bytes of one vertex in the files: position, normal, u, v.
constexpr size_t FILE_VERTEX_SIZE = 32;

// False, with a warning naming the mesh and the check, when the block is cut short or fails a
// check; the mesh is then left without vertices.
bool ReadVertexBlock(ByteReader& reader, SceneMesh& mesh);
void WriteVertexBlock(ByteWriter& writer, SceneMesh& mesh);
// The readers refuse a mesh without triangles and end the read there, so the writers leave such
// a mesh out (false, with a warning naming szOperation) to keep the rest of the file readable.
bool CanSaveMesh(const SceneMesh& mesh, const char* szOperation);

// The bounding box over the mesh's vertices, its offset (the box's middle), an identity base
// matrix and the bounding sphere.
void SetMeshBounds(SceneMesh& mesh);
// Sphere around the mesh's offset with radius sqrt(3) x e / 2, e the largest extent of its
// bounding box: the sphere round a cube of side e. Returns the mesh.
SceneMesh* ComputeBoundingSphere(SceneMesh* pMesh);
