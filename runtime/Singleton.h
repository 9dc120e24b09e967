// A process-wide object that registers itself in its slot when constructed; a second
// one is a programming fault.
#pragma once

#include "runtime/Log.h"

namespace runtime {

template <typename T> class Singleton {
public:
    static T* singleton() { return s_instance; }

protected:
    Singleton()
    {
        if (s_instance)
            fatal_error(u"Singleton::Singleton()", u"Singleton is already instantiated");
        s_instance = static_cast<T*>(this);
    }
    ~Singleton() { s_instance = nullptr; }
    Singleton(const Singleton&) = delete;
    Singleton& operator=(const Singleton&) = delete;

private:
    static inline T* s_instance = nullptr;
};

} // namespace runtime
