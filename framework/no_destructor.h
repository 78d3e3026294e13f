// Module state that outlives the exit handlers: Qt may end the process itself with exit() (when
// the display connection breaks), and a widget or the application torn down from a static
// destructor then crashes. The normal shut-down empties this state before it returns.
#pragma once

#include <new>
#include <utility>

namespace fw {

template <class T>
class NoDestructor {
public:
    template <class... Args>
    explicit NoDestructor(Args&&... args) {
        new (storage_) T(std::forward<Args>(args)...);
    }
    NoDestructor(const NoDestructor&) = delete;
    NoDestructor& operator=(const NoDestructor&) = delete;

    T& operator*() { return *std::launder(reinterpret_cast<T*>(storage_)); }
    T* operator->() { return &**this; }

private:
    alignas(T) unsigned char storage_[sizeof(T)];
};

}  // namespace fw
