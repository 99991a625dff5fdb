// std::to_string, which libc++ defines in its compiled library.
#include <string>

_LIBCPP_BEGIN_NAMESPACE_STD // std::__1, where libc++ declares it

    namespace
{
    template <class Unsigned> string digitsOf(Unsigned value, bool negative)
    {
        char buffer[24];
        char* end = buffer + sizeof buffer;
        char* first = end;
        do {
            *--first = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        if (negative) {
            *--first = '-';
        }
        return {first, end};
    }

    template <class Signed> string signedDigits(Signed value)
    {
        using Unsigned = make_unsigned_t<Signed>;
        const bool negative = value < 0;
        const Unsigned magnitude = negative ? Unsigned(0) - static_cast<Unsigned>(value) : static_cast<Unsigned>(value);
        return digitsOf(magnitude, negative);
    }
} // namespace

string to_string(int value) { return signedDigits(value); }
string to_string(long value) { return signedDigits(value); }
string to_string(long long value) { return signedDigits(value); }
string to_string(unsigned value) { return digitsOf(value, false); }
string to_string(unsigned long value) { return digitsOf(value, false); }
string to_string(unsigned long long value) { return digitsOf(value, false); }

_LIBCPP_END_NAMESPACE_STD
