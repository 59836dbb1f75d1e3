#include "widgets/TypedNumber.h"

#include <charconv>
#include <limits>
#include <system_error>

namespace
{
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// An exponent this large puts any number typed out of the float range.
constexpr long long kExponentCap = 1000000;
} // namespace

float leadingDecimalNumber(std::string_view text)
{
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p != end && isSpace(*p))
        ++p;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    const char* const number = p; // without its sign, as std::from_chars takes it

    // The digits, and the power of ten just above the number: 2 for 12.5, -2 for 0.005;
    // it tells an overflow from an underflow.
    std::size_t digits = 0;
    long long magnitude = 0;
    bool nonZero = false;
    for (; p != end && isDigit(*p); ++p, ++digits)
    {
        if (nonZero)
            ++magnitude;
        else if (*p != '0')
        {
            nonZero = true;
            magnitude = 1;
        }
    }
    if (p != end && *p == '.')
    {
        const char* q = p + 1;
        for (; q != end && isDigit(*q); ++q, ++digits)
        {
            if (nonZero)
                continue;
            if (*q == '0')
                --magnitude;
            else
                nonZero = true;
        }
        if (digits > 0)
            p = q;
    }
    if (digits == 0)
        return 0.0f;
    if (p != end && (*p == 'e' || *p == 'E'))
    {
        const char* q = p + 1;
        bool negativeExponent = false;
        if (q != end && (*q == '+' || *q == '-'))
            negativeExponent = *q++ == '-';
        if (q != end && isDigit(*q))
        {
            long long exponent = 0;
            for (; q != end && isDigit(*q); ++q)
                if (exponent < kExponentCap)
                    exponent = exponent * 10 + (*q - '0');
            magnitude += negativeExponent ? -exponent : exponent;
            p = q;
        }
    }

    float value = 0.0f;
    const std::from_chars_result read = std::from_chars(number, p, value, std::chars_format::general);
    if (read.ec == std::errc::result_out_of_range)
        value = nonZero && magnitude > 0 ? std::numeric_limits<float>::max() : 0.0f;
    else if (read.ec != std::errc())
        value = 0.0f;
    if (value == 0.0f)
        return 0.0f;
    return negative ? -value : value;
}
