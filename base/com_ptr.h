// COM ownership: interface pointers, BSTRs, VARIANTs and the apartment of a thread.
#pragma once
#include <objbase.h>
#include <oleauto.h>

#include <string_view>
#include <utility>

#include "base/ansi.h"

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr& other) : ptr(other.ptr) {
        if (ptr) ptr->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : ptr(std::exchange(other.ptr, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(ptr, other.ptr);
        return *this;
    }
    ~ComPtr() { Reset(); }

    T* Get() const { return ptr; }
    T* operator->() const { return ptr; }
    explicit operator bool() const { return ptr != nullptr; }
    T** Put() {
        Reset();
        return &ptr;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    void Reset() {
        if (ptr) std::exchange(ptr, nullptr)->Release();
    }

private:
    T* ptr = nullptr;
};

class UniqueBstr {
public:
    UniqueBstr() = default;
    explicit UniqueBstr(std::string_view text) {
        std::wstring wide = ToWide(text);
        value = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    }
    UniqueBstr(UniqueBstr&& other) noexcept : value(std::exchange(other.value, nullptr)) {}
    UniqueBstr& operator=(UniqueBstr&& other) noexcept {
        std::swap(value, other.value);
        return *this;
    }
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    ~UniqueBstr() { SysFreeString(value); }

    BSTR Get() const { return value; }
    BSTR* Put() {
        SysFreeString(std::exchange(value, nullptr));
        return &value;
    }
    std::string ToAnsi() const { return value ? FromWide({value, SysStringLen(value)}) : std::string(); }

private:
    BSTR value = nullptr;
};

class UniqueVariant {
public:
    UniqueVariant() { VariantInit(&value); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    ~UniqueVariant() { VariantClear(&value); }
    VARIANT* Put() {
        VariantClear(&value);
        return &value;
    }
    VARIANT& Get() { return value; }

private:
    VARIANT value;
};

// Opened on the first line of WinMain and of every worker; a failed start is not undone.
class ComApartment {
public:
    ComApartment() : result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(result)) CoUninitialize();
    }

private:
    HRESULT result;
};
