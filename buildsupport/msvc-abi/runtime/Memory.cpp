// operator new and delete: in the Microsoft ABI they come from the static part of the Visual C++
// run-time, which this build does not have. On the C heap of ucrtbase, as there.
#include <cstdlib>
#include <malloc.h>
#include <new>

void* operator new(std::size_t size)
{
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

void* operator new[](std::size_t size) { return ::operator new(size); }

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t /*size*/) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t /*size*/) noexcept { std::free(block); }

// Over-aligned types (alignas beyond 16): from the C heap's aligned blocks, which only
// _aligned_free may release.
void* operator new(std::size_t size, std::align_val_t alignment)
{
    void* block = _aligned_malloc(size == 0 ? 1 : size, static_cast<std::size_t>(alignment));
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

void* operator new[](std::size_t size, std::align_val_t alignment) { return ::operator new(size, alignment); }

void operator delete(void* block, std::align_val_t /*alignment*/) noexcept { _aligned_free(block); }
void operator delete[](void* block, std::align_val_t /*alignment*/) noexcept { _aligned_free(block); }
void operator delete(void* block, std::size_t /*size*/, std::align_val_t /*alignment*/) noexcept
{
    _aligned_free(block);
}
void operator delete[](void* block, std::size_t /*size*/, std::align_val_t /*alignment*/) noexcept
{
    _aligned_free(block);
}
