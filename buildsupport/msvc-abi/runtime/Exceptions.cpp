// The members of the standard exception classes that libc++ leaves to its compiled library (which
// does not exist for this target) or, in the Microsoft ABI, to the Visual C++ run-time.
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>

namespace std {

exception::~exception() noexcept = default;
const char* exception::what() const noexcept { return "std::exception"; }

bad_alloc::bad_alloc() noexcept = default;
bad_alloc::~bad_alloc() noexcept = default;
const char* bad_alloc::what() const noexcept { return "std::bad_alloc"; }

bad_array_new_length::bad_array_new_length() noexcept = default;
bad_array_new_length::~bad_array_new_length() noexcept = default;
const char* bad_array_new_length::what() const noexcept { return "bad_array_new_length"; }

// The message of logic_error and runtime_error: one heap block shared by copies, its count in
// front of the text (copies of an exception are made while it is thrown, and must not throw).
namespace {
struct SharedText {
    long count;
    char text[1];
};

SharedText* sharedOf(const char* text)
{
    return reinterpret_cast<SharedText*>(const_cast<char*>(text) - offsetof(SharedText, text));
}
} // namespace

__libcpp_refstring::__libcpp_refstring(const char* message)
{
    const std::size_t length = std::strlen(message);
    auto* shared = static_cast<SharedText*>(std::malloc(offsetof(SharedText, text) + length + 1));
    if (shared == nullptr) {
        throw bad_alloc();
    }
    shared->count = 1;
    std::memcpy(shared->text, message, length + 1);
    __imp_ = shared->text;
}

__libcpp_refstring::__libcpp_refstring(const __libcpp_refstring& other) noexcept : __imp_(other.__imp_)
{
    ++sharedOf(__imp_)->count;
}

__libcpp_refstring& __libcpp_refstring::operator=(const __libcpp_refstring& other) noexcept
{
    ++sharedOf(other.__imp_)->count;
    this->~__libcpp_refstring();
    __imp_ = other.__imp_;
    return *this;
}

__libcpp_refstring::~__libcpp_refstring()
{
    SharedText* shared = sharedOf(__imp_);
    if (--shared->count == 0) {
        std::free(shared);
    }
}

logic_error::logic_error(const string& message) : __imp_(message.c_str()) {}
logic_error::logic_error(const char* message) : __imp_(message) {}
logic_error::logic_error(const logic_error& other) noexcept = default;
logic_error& logic_error::operator=(const logic_error& other) noexcept = default;
logic_error::~logic_error() noexcept = default;
const char* logic_error::what() const noexcept { return __imp_.c_str(); }

runtime_error::runtime_error(const string& message) : __imp_(message.c_str()) {}
runtime_error::runtime_error(const char* message) : __imp_(message) {}
runtime_error::runtime_error(const runtime_error& other) noexcept = default;
runtime_error& runtime_error::operator=(const runtime_error& other) noexcept = default;
runtime_error::~runtime_error() noexcept = default;
const char* runtime_error::what() const noexcept { return __imp_.c_str(); }

domain_error::~domain_error() noexcept = default;
invalid_argument::~invalid_argument() noexcept = default;
length_error::~length_error() noexcept = default;
out_of_range::~out_of_range() noexcept = default;
range_error::~range_error() noexcept = default;
overflow_error::~overflow_error() noexcept = default;
underflow_error::~underflow_error() noexcept = default;

bad_optional_access::~bad_optional_access() noexcept = default;
const char* bad_optional_access::what() const noexcept { return "bad_optional_access"; }

const char* bad_variant_access::what() const noexcept { return "bad_variant_access"; }

} // namespace std

_LIBCPP_BEGIN_NAMESPACE_STD
// What libc++'s headers call where they would throw a runtime_error.
void __throw_runtime_error(const char* message) { throw runtime_error(message); }
_LIBCPP_END_NAMESPACE_STD
