// Move-only owners for Win32 handles; each follows the failure value of the API that makes it.
#pragma once
#include <windows.h>

#include <utility>

template <class Traits>
class Unique {
public:
    using Type = typename Traits::Type;
    Unique() = default;
    explicit Unique(Type value) : value(value) {}
    Unique(Unique&& other) noexcept : value(other.Release()) {}
    Unique& operator=(Unique&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    Unique(const Unique&) = delete;  // a copy would close twice
    Unique& operator=(const Unique&) = delete;
    ~Unique() { Reset(); }

    Type Get() const { return value; }
    explicit operator bool() const { return value != Traits::Invalid(); }
    Type* Put() {
        Reset();
        return &value;
    }
    Type Release() { return std::exchange(value, Traits::Invalid()); }
    void Reset(Type next = Traits::Invalid()) {
        if (*this) Traits::Close(value);
        value = next;
    }

private:
    Type value = Traits::Invalid();
};

struct HandleTraits {  // CreateMutexA, CreateThread, CreateEventA: null on failure
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { CloseHandle(h); }
};
struct FileTraits {  // CreateFileA: INVALID_HANDLE_VALUE on failure
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { CloseHandle(h); }
};
struct FindTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { FindClose(h); }
};
struct KeyTraits {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { RegCloseKey(h); }
};
struct ModuleTraits {
    using Type = HMODULE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { FreeLibrary(h); }
};
struct IconTraits {  // ExtractIconW, CreateIconIndirect; not for shared icons from LoadIcon
    using Type = HICON;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { DestroyIcon(h); }
};

struct FontTraits {  // CreateFontIndirectA: null on failure
    using Type = HFONT;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { DeleteObject(h); }
};

struct BitmapTraits {  // CreateDIBSection: null on failure
    using Type = HBITMAP;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { DeleteObject(h); }
};

using UniqueHandle = Unique<HandleTraits>;
using UniqueFile = Unique<FileTraits>;
using UniqueFind = Unique<FindTraits>;
using UniqueKey = Unique<KeyTraits>;
using UniqueModule = Unique<ModuleTraits>;
using UniqueFont = Unique<FontTraits>;
using UniqueBitmap = Unique<BitmapTraits>;
using UniqueIcon = Unique<IconTraits>;
