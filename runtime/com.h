#pragma once
// Owners for COM: the apartment, interface pointers, BSTRs and VARIANTs.

#include <objbase.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace fennimark::runtime {

// One single-threaded apartment for the life of the object.
class ComApartment {
public:
    ComApartment() noexcept : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment()
    {
        if (initialised_)
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

template <typename Interface>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        reset();
        pointer_ = std::exchange(other.pointer_, nullptr);
        return *this;
    }
    ~ComPtr() { reset(); }

    Interface* get() const noexcept { return pointer_; }
    Interface* operator->() const noexcept { return pointer_; }
    explicit operator bool() const noexcept { return pointer_ != nullptr; }
    // For calls that hand back a new reference.
    Interface** put() noexcept
    {
        reset();
        return &pointer_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
    void reset() noexcept
    {
        if (pointer_)
            std::exchange(pointer_, nullptr)->Release();
    }

    template <typename Other>
    HRESULT query(ComPtr<Other>& out) const noexcept
    {
        return pointer_->QueryInterface(__uuidof(Other), out.put_void());
    }

private:
    Interface* pointer_ = nullptr;
};

class Bstr {
public:
    explicit Bstr(const std::wstring& text)
        : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())))
    {
    }
    ~Bstr() { SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const noexcept { return value_; }

private:
    BSTR value_;
};

class Variant {
public:
    Variant() noexcept { VariantInit(&value_); }
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    static Variant text(const std::wstring& value)
    {
        Variant result;
        result.value_.vt = VT_BSTR;
        result.value_.bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
        return result;
    }
    static Variant truth(bool value)
    {
        Variant result;
        result.value_.vt = VT_BOOL;
        result.value_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
        return result;
    }
    Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }

    VARIANT* get() noexcept { return &value_; }
    const VARIANT* get() const noexcept { return &value_; }

private:
    VARIANT value_;
};

}  // namespace fennimark::runtime
