// Shell-text conversion: narrow text to the zero-terminated UTF-16 that the Windows shell takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <memory>

namespace trelvik {

using HRESULT = std::int32_t;

inline constexpr HRESULT E_INVALIDARG_HR = static_cast<HRESULT>(0x80070057U);
inline constexpr HRESULT E_OUTOFMEMORY_HR = static_cast<HRESULT>(0x8007000EU);
inline constexpr unsigned CP_UTF8_PAGE = 65001;

// HRESULT_FROM_WIN32: 0 and "negative" values unchanged, others mapped into FACILITY_WIN32.
constexpr HRESULT hresultFromWin32(std::uint32_t error)
{
    const auto value = static_cast<HRESULT>(error);
    return value <= 0 ? value : static_cast<HRESULT>((error & 0xFFFFU) | 0x80070000U);
}

// A conversion failure, carrying the HRESULT of its cause.
class CAtlException : public std::exception {
public:
    explicit CAtlException(HRESULT code) noexcept : code_(code) {}
    [[nodiscard]] HRESULT code() const noexcept { return code_; }
    [[nodiscard]] const char* what() const noexcept override { return "text conversion failed"; }

private:
    HRESULT code_;
};

// Holds one conversion result: inline while it fits in 128 units (links of up to 127 bytes stay
// off the heap), otherwise in a zero-filled block from the C heap that the holder owns.
class ShellText {
public:
    static constexpr int inlineUnits = 128;

    ShellText() = default;
    ShellText(const ShellText&) = delete;
    ShellText& operator=(const ShellText&) = delete;

    // Converts text (zero-terminated, may be null) from codePage. Null gives a null result.
    // Throws CAtlException; bytes the code page does not define are replaced, not reported.
    void convert(const char* text, unsigned codePage);

    // The zero-terminated result, or null.
    [[nodiscard]] const char16_t* get() const noexcept { return result_; }
    [[nodiscard]] bool onHeap() const noexcept { return result_ != nullptr && result_ == heap_.get(); }

private:
    // The block comes from the C heap (realloc keeps growing it in place where it can).
    struct FreeBlock {
        void operator()(char16_t* block) const noexcept { std::free(block); } // NOLINT(cppcoreguidelines-no-malloc)
    };

    // A destination of count units by the inline-or-heap rule.
    char16_t* destination(int count);

    char16_t inline_[inlineUnits] = {};
    std::unique_ptr<char16_t, FreeBlock> heap_;
    char16_t* result_ = nullptr;
};

} // namespace trelvik
