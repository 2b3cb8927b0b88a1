#pragma once
// The framework's growable array of plain records. The records live in one malloc block and
// are copied in and out byte for byte, so a record must be plain data; whatever a record points
// to is released by the array's owner before it removes or resets records.
// Capacities run 0, 32, 64, 128, ...; only Clear gives the block back.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

template <typename T>
class Array
{
    static_assert(std::is_trivially_copyable_v<T>, "Array records are copied byte for byte");

public:
    static constexpr uint32_t FIRST_CAPACITY = 32;

    Array() = default;
    Array(const Array&) = delete;
    Array& operator=(const Array&) = delete;
    ~Array() { std::free(m_pItems); }

    // No bound check: the caller keeps the index below the count.
    T& operator[](int nIndex) { return m_pItems[nIndex]; }
    const T& operator[](int nIndex) const { return m_pItems[nIndex]; }

    int GetCount() const { return static_cast<int>(m_nCount); }
    uint32_t GetCapacity() const { return m_nCapacity; }

    // Appends a copy of the record and returns its index; -1 (and nothing added) when the
    // block cannot grow.
    int Add(const T& record)
    {
        // The record may live in this array's own block, which growing can move.
        alignas(T) unsigned char copy[sizeof(T)];
        std::memcpy(copy, static_cast<const void*>(&record), sizeof(T));
        if (m_nCount >= m_nCapacity && !Grow())
            return -1;
        std::memcpy(static_cast<void*>(m_pItems + m_nCount), copy, sizeof(T));
        return static_cast<int>(m_nCount++);
    }

    // Removes the record and moves the following ones down, keeping their order. An index not
    // below the count (negative ones included) does nothing.
    void Remove(int nIndex)
    {
        uint32_t nAt = static_cast<uint32_t>(nIndex);
        if (nAt >= m_nCount)
            return;
        --m_nCount;
        std::memmove(static_cast<void*>(m_pItems + nAt), static_cast<const void*>(m_pItems + nAt + 1),
                     (m_nCount - nAt) * sizeof(T));
    }

    // Removes the record by moving the last one into its place; the order is not kept.
    void RemoveFast(int nIndex)
    {
        uint32_t nAt = static_cast<uint32_t>(nIndex);
        if (nAt >= m_nCount)
            return;
        --m_nCount;
        if (nAt != m_nCount)
            std::memcpy(static_cast<void*>(m_pItems + nAt), static_cast<const void*>(m_pItems + m_nCount), sizeof(T));
    }

    // Empties the array but keeps the block, so refilling it allocates nothing.
    void Reset() { m_nCount = 0; }

    void Clear()
    {
        std::free(m_pItems);
        m_pItems = nullptr;
        m_nCapacity = 0;
        m_nCount = 0;
    }

private:
    bool Grow()
    {
        uint64_t nCapacity = m_nCapacity ? uint64_t(m_nCapacity) * 2 : FIRST_CAPACITY;
        if (nCapacity > UINT32_MAX / 2 || nCapacity * sizeof(T) > SIZE_MAX / 2)
            return false;
        T* pItems = static_cast<T*>(std::realloc(static_cast<void*>(m_pItems), nCapacity * sizeof(T)));
        if (!pItems)
            return false;
        m_pItems = pItems;
        m_nCapacity = static_cast<uint32_t>(nCapacity);
        return true;
    }

    uint32_t m_nCapacity = 0;
    uint32_t m_nCount = 0;
    T* m_pItems = nullptr;
};
