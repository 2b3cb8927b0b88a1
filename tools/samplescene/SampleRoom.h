#pragma once
// The sample scene: a closed room of side 10 centred on the origin (floor, ceiling and four walls
// as separate flat meshes, the left wall red, the right wall green, the rest white), a white
// 3 x 3 x 3 box standing off-centre on the floor, one white point light at (0, 3, 0) and a camera
// near the front wall looking into the room along +z. Every face's normal points into the room.
#include "scene/SceneStore.h"

constexpr float SAMPLE_ROOM_HALF_SIDE = 5.0f;

// Fills an empty store with the room; false when a mesh could not be allocated.
bool BuildSampleRoom(SceneStore& store);
