#pragma once
// Vectors the back end keeps from draw to draw. Growing one leaves the new elements
// uninitialised (plain data only), because every user writes them before reading; a vector that
// is cleared and refilled keeps its capacity, so a steady stream of draws allocates nothing.
#include <memory>
#include <type_traits>
#include <vector>

template <class T>
class UninitializedAllocator : public std::allocator<T>
{
public:
    template <class U>
    struct rebind
    {
        using other = UninitializedAllocator<U>;
    };
    UninitializedAllocator() = default;
    template <class U>
    UninitializedAllocator(const UninitializedAllocator<U>&) noexcept
    {
    }

    template <class U>
    void construct(U* p) noexcept
    {
        static_assert(std::is_trivially_default_constructible_v<U>, "scratch elements are plain data");
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args)
    {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

template <class T>
using ScratchVector = std::vector<T, UninitializedAllocator<T>>;
