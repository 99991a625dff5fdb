// What type_info needs in the Microsoft ABI without the Visual C++ run-time. The compiler emits a
// type descriptor for every class with RTTI, and each names the table ??_7type_info@@6B@ as its
// vftable; nothing calls through it (type_info objects are never destroyed), but the link needs
// the symbol, so a table of one entry stands for it.
#include <cstdlib>
#include <cstring>
#include <typeinfo>

namespace {
[[noreturn]] void typeInfoIsNeverDestroyed() { std::abort(); }
} // namespace

extern "C" const void* const typeInfoVftable[1] __asm__("??_7type_info@@6B@") = {
    reinterpret_cast<const void*>(&typeInfoIsNeverDestroyed)};

namespace std {

type_info::~type_info() = default;

// The decorated name (".?AVName@Scope@@"): no demangler is linked in.
const char* type_info::name() const noexcept { return __data.__decorated_name; }

int type_info::__compare(const type_info& other) const noexcept
{
    return this == &other ? 0 : std::strcmp(__data.__decorated_name, other.__data.__decorated_name);
}

size_t type_info::hash_code() const noexcept
{
    size_t hash = 14695981039346656037ULL; // FNV-1a over the decorated name
    for (const char* c = __data.__decorated_name; *c != '\0'; ++c) {
        hash = (hash ^ static_cast<unsigned char>(*c)) * 1099511628211ULL;
    }
    return hash;
}

} // namespace std
