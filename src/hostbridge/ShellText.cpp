#include "ShellText.h"

#include "platform/Platform.h"

#include <climits>
#include <cstring>

namespace trelvik {

namespace {
constexpr std::uint32_t errorInsufficientBuffer = 122;
} // namespace

char16_t* ShellText::destination(int count)
{
    if (count <= inlineUnits) {
        heap_.reset();
        return inline_;
    }
    const auto bytes = static_cast<std::size_t>(count) * sizeof(char16_t);
    auto* block = static_cast<char16_t*>(std::realloc(heap_.get(), bytes)); // NOLINT(cppcoreguidelines-no-malloc)
    if (block == nullptr) {
        throw CAtlException(E_OUTOFMEMORY_HR);
    }
    (void)heap_.release(); // realloc took over (or kept) the old block
    heap_.reset(block);
    std::memset(block, 0, bytes);
    return block;
}

void ShellText::convert(const char* text, unsigned codePage)
{
    if (text == nullptr) {
        result_ = nullptr;
        return;
    }
    const std::size_t length = std::strlen(text);
    if (length >= static_cast<std::size_t>(INT_MAX)) {
        throw CAtlException(E_INVALIDARG_HR);
    }
    const int count = static_cast<int>(length) + 1; // the terminator is converted too
    result_ = destination(count);
    int converted = platform::multiByteToWideChar(codePage, text, count, result_, count);
    if (converted == 0 && platform::lastError() == errorInsufficientBuffer) {
        const int needed = platform::multiByteToWideChar(codePage, text, count, nullptr, 0);
        if (needed < 0) {
            throw CAtlException(E_INVALIDARG_HR);
        }
        result_ = destination(needed);
        converted = platform::multiByteToWideChar(codePage, text, count, result_, needed);
    }
    if (converted == 0) {
        const HRESULT code = hresultFromWin32(platform::lastError());
        heap_.reset();
        result_ = nullptr;
        throw CAtlException(code);
    }
}

} // namespace trelvik
