// The single-instance pattern of every manager: created with new by the first
// call of Instance and kept until the process ends. Lazy creation is safe
// because every first use happens on the main thread before any worker starts.
//
//   class Physics : public Singleton<Physics> {
//       friend class Singleton<Physics>;
//       Physics();
//       ...
//   };
#pragma once

template <typename T> class Singleton {
public:
    static T* Instance()
    {
        static T* const instance = new T();
        return instance;
    }

protected:
    Singleton() = default;
    ~Singleton() = default;

public:
    Singleton(const Singleton&) = delete;
    Singleton& operator=(const Singleton&) = delete;
};
