// Small owners for Win32 handle kinds: each closes its value once, on reset or
// destruction, and treats the kind's "no value" markers as empty.
#pragma once

#include <windows.h>
#include <setupapi.h>

template <typename T, typename Traits>
class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(T value) : value_(value) {}
    ~UniqueResource() { reset(); }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    T get() const { return value_; }
    explicit operator bool() const { return Traits::IsValid(value_); }

    // Address for an out-parameter; the value held before is closed first.
    T* put()
    {
        reset();
        return &value_;
    }

    T release()
    {
        T value = value_;
        value_ = Traits::Empty();
        return value;
    }

    void reset(T value = Traits::Empty())
    {
        if (Traits::IsValid(value_))
            Traits::Close(value_);
        value_ = value;
    }

private:
    T value_ = Traits::Empty();
};

struct RegKeyTraits {
    static HKEY Empty() { return nullptr; }
    static bool IsValid(HKEY key) { return key != nullptr && key != reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE); }
    static void Close(HKEY key) { RegCloseKey(key); }
};

struct FileHandleTraits {
    static HANDLE Empty() { return nullptr; }
    static bool IsValid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { CloseHandle(handle); }
};

struct DevInfoTraits {
    static HDEVINFO Empty() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HDEVINFO set) { return set != nullptr && set != INVALID_HANDLE_VALUE; }
    static void Close(HDEVINFO set) { SetupDiDestroyDeviceInfoList(set); }
};

struct ModuleTraits {
    static HMODULE Empty() { return nullptr; }
    static bool IsValid(HMODULE module) { return module != nullptr; }
    static void Close(HMODULE module) { FreeLibrary(module); }
};

using UniqueRegKey = UniqueResource<HKEY, RegKeyTraits>;
using UniqueHandle = UniqueResource<HANDLE, FileHandleTraits>;
using UniqueDevInfo = UniqueResource<HDEVINFO, DevInfoTraits>;
using UniqueModule = UniqueResource<HMODULE, ModuleTraits>;
