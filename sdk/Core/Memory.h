// Ptr<T>: a counted reference to a host object.
//
// Ownership: a Ptr owns exactly one reference to the object it holds. Host operations hand the
// caller one reference, which the Ptr adopts ("attach"); copying shares the object and adds a
// reference; destruction and reset() release it. Calling through an empty Ptr throws a plain
// std::exception, the host API's way of saying "none" where the caller did not test for it.
#pragma once

#include <cstddef>
#include <exception>
#include <utility>

namespace adsk::core {

template <class T> class Ptr {
public:
    constexpr Ptr() noexcept = default;
    constexpr Ptr(std::nullptr_t) noexcept {}

    // attach == true adopts the caller's reference; false adds one of our own.
    explicit Ptr(const T* object, bool attach = true) noexcept : object_(const_cast<T*>(object))
    {
        if (object_ != nullptr && !attach) {
            object_->addref();
        }
    }

    Ptr(const Ptr& other) noexcept : object_(other.object_)
    {
        if (object_ != nullptr) {
            object_->addref();
        }
    }

    Ptr(Ptr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}

    // Cross-type construction casts through the object's queryInterface, which adds no reference,
    // and then takes one of its own; a failed cast is empty.
    template <class U> Ptr(const Ptr<U>& other) noexcept
    {
        if (other) {
            reset(other->template query<T>(), false);
        }
    }

    ~Ptr() { reset(); }

    Ptr& operator=(const Ptr& other) noexcept
    {
        Ptr copy(other);
        swap(copy);
        return *this;
    }

    Ptr& operator=(Ptr&& other) noexcept
    {
        Ptr moved(std::move(other));
        swap(moved);
        return *this;
    }

    Ptr& operator=(std::nullptr_t) noexcept
    {
        reset();
        return *this;
    }

    void reset() noexcept
    {
        if (T* old = std::exchange(object_, nullptr)) {
            old->release();
        }
    }

    // Holds object instead: nothing happens when it is the object already held; otherwise the old
    // one is released and object adopted (attach) or given a reference of its own.
    void reset(const T* object, bool attach = false) noexcept
    {
        if (object == object_) {
            return;
        }
        reset();
        object_ = const_cast<T*>(object);
        if (object_ != nullptr && !attach) {
            object_->addref();
        }
    }

    // Gives up ownership without releasing; the caller now owns the reference.
    [[nodiscard]] T* detach() noexcept { return std::exchange(object_, nullptr); }

    [[nodiscard]] T* get() const noexcept { return object_; }

    T* operator->() const
    {
        if (object_ == nullptr) {
            throw std::exception();
        }
        return object_;
    }

    T& operator*() const { return *operator->(); }

    explicit operator bool() const noexcept { return object_ != nullptr; }

    void swap(Ptr& other) noexcept { std::swap(object_, other.object_); }

    friend bool operator==(const Ptr& a, const Ptr& b) noexcept { return a.object_ == b.object_; }
    friend bool operator==(const Ptr& a, std::nullptr_t) noexcept { return a.object_ == nullptr; }

private:
    T* object_ = nullptr;
};

} // namespace adsk::core
