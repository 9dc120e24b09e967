// A process-wide object that registers itself in its slot when constructed; a second
// one is a programming fault.
#pragma once

#include "runtime/Log.h"

namespace runtime {

template <typename T> class Singleton {
public:
    // The registered object, or null. Read it only once the object is fully built: the
    // slot holds the base, and the cast to T is sound only from then on.
    static T* singleton() { return s_slot ? static_cast<T*>(s_slot) : nullptr; }

protected:
    // The slot takes the base itself: while this constructor runs the object is not yet
    // a T, so naming it as one here would be undefined.
    Singleton()
    {
        if (s_slot)
            fatal_error(u"Singleton::Singleton()", u"Singleton is already instantiated");
        s_slot = this;
    }
    ~Singleton() { s_slot = nullptr; }
    Singleton(const Singleton&) = delete;
    Singleton& operator=(const Singleton&) = delete;

private:
    static inline Singleton* s_slot = nullptr;
};

} // namespace runtime
