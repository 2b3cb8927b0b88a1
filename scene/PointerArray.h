#pragma once
// The growable array of untyped object pointers behind every list of the program: the scene's
// meshes, lights, materials and textures, a mesh's child lists, recorded camera-path keys and
// the renderers' working lists. It stores plain pointers and never deletes what they point to:
// whoever puts an object into a list owns it. A pointer may be stored more than once, and may
// be null.
//
// Indexes are unsigned 32-bit, so a negative index is simply one past the count.
// Growth is linear, ten slots at a time: 60, 70, 80 ... and after Reset 10, 20, 30 ...
#include <cstdint>

class PointerArray
{
public:
    static constexpr uint32_t FIRST_CAPACITY = 60;
    static constexpr uint32_t RESET_CAPACITY = 10;
    static constexpr uint32_t GROWTH = 10;

    PointerArray();
    PointerArray(const PointerArray&) = delete;
    PointerArray& operator=(const PointerArray&) = delete;
    ~PointerArray();

    uint32_t GetCount() const { return m_nCount; }
    uint32_t GetCapacity() const { return m_nCapacity; }
    void** GetData() const { return m_ppItems; }

    // The pointer at the index; null when the index is not below the count.
    void* Get(uint32_t nIndex) const;
    void* GetAt(uint32_t nIndex) const { return Get(nIndex); }

    // Appends and returns the new element's index (the old count); -1, and nothing added, when
    // the slot block cannot grow.
    int Add(void* pItem);
    // Inserts before the element at the index; an index at or past the count appends.
    void InsertAt(uint32_t nIndex, void* pItem);
    // Removes the element at the index; an index at or past the count changes nothing.
    // The capacity and the block stay. Always returns 0.
    int RemoveAt(uint32_t nIndex);
    // Replaces the pointer at the index when it is below the count.
    void SetAt(uint32_t nIndex, void* pItem);
    // Empties the list into a fresh block of RESET_CAPACITY slots; the objects stay alive.
    void Reset();

private:
    // A zero-filled block of nSlots slots holding the first nCopy slots of the current one.
    void** NewBlock(uint32_t nSlots, uint32_t nCopy) const;

    void** m_ppItems = nullptr;
    uint32_t m_nCount = 0;
    uint32_t m_nCapacity = 0;
};
