#include "number_format.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

namespace kelvo {

namespace {

constexpr std::uint64_t PowersOfTen[] = {1ULL,
                                         10ULL,
                                         100ULL,
                                         1000ULL,
                                         10000ULL,
                                         100000ULL,
                                         1000000ULL,
                                         10000000ULL,
                                         100000000ULL,
                                         1000000000ULL,
                                         10000000000ULL,
                                         100000000000ULL,
                                         1000000000000ULL,
                                         10000000000000ULL,
                                         100000000000000ULL,
                                         1000000000000000ULL,
                                         10000000000000000ULL,
                                         100000000000000000ULL,
                                         1000000000000000000ULL,
                                         10000000000000000000ULL};

// "00" "01" ... "99": two digits at a time.
constexpr char DigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes n in decimal, at least `digits` digits (leading zeros), so that it
// ends just before `end`; returns where it starts.
char* WriteDigitsBackwards(char* end, std::uint64_t n, int digits = 1) {
    char* p = end;
    while (n >= 100) {
        const auto pair = static_cast<unsigned>(n % 100) * 2;
        n /= 100;
        p -= 2;
        std::memcpy(p, DigitPairs + pair, 2);
    }
    if (n >= 10) {
        p -= 2;
        std::memcpy(p, DigitPairs + static_cast<unsigned>(n) * 2, 2);
    } else {
        *--p = static_cast<char>('0' + n);
    }
    while (end - p < digits) *--p = '0';
    return p;
}

int DigitCount(std::uint64_t n) {
    int count = 1;
    while (count < 20 && n >= PowersOfTen[count]) ++count;
    return count;
}

// A value's text in parts: the sign, the digits before the point and the
// `decimals` digits after it (as one whole number below 10^decimals).
struct FixedParts {
    bool negative = false;
    std::uint64_t integer = 0;
    std::uint64_t fraction = 0;
};

// A whole number below 10^15 (exact in a double, at most 15 digits): its
// 18-digit decimal expansion is the number itself and no rounding can
// happen, so its text is its digits followed by zero decimals. A negative
// zero is not negative and gives "0". Counts and sums of counts, which fill
// most matrices, take this way.
bool WholeNumberParts(double value, int decimals, FixedParts& parts) {
    if (!(std::fabs(value) < 1e15) || decimals < 0 || decimals > 20) return false;
    const auto whole = static_cast<std::int64_t>(value);
    if (static_cast<double>(whole) != value) return false;
    parts.negative = whole < 0;
    parts.integer = static_cast<std::uint64_t>(whole < 0 ? -whole : whole);
    parts.fraction = 0;
    return true;
}

// 10^(e - 17) for e = -1..14: the unit of the 18th significant digit of a
// number whose first digit has the weight 10^e.
constexpr double EighteenthDigitUnits[] = {1e-18, 1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12, 1e-11,
                                           1e-10, 1e-09, 1e-08, 1e-07, 1e-06, 1e-05, 1e-04, 1e-03};

// Any other finite value with at most 9 decimals whose rounded count of
// 10^-decimals stays below 10^15, decided without producing its decimal
// expansion. Returns false when the value is outside that range or too close
// to a rounding boundary to decide here.
//
// The rule rounds twice: first the value's exact decimal expansion to 18
// significant digits (R below), then R to `decimals` decimals with a half
// away from zero. Write q = |value| x 10^decimals (exactly) and n = floor(q).
// Scaling by a power of ten only moves the decimal point, so the count of
// 10^-decimals kept is floor(R x 10^decimals + 1/2), where R x 10^decimals is
// q rounded to 18 significant digits. n + 1/2 has at most 16 significant
// digits, so rounding to 18 digits cannot carry q across it from above: when
// q >= n + 1/2 the count is n + 1. When q < n + 1/2, the count is n + 1 only
// if q lies within half an 18th-digit unit of n + 1/2 (and rounds up onto
// it), otherwise n; that narrow band is left to the digit-by-digit way.
//
// |value| = M x 2^-k with a 53-bit M, so q = M 10^decimals / 2^k is taken
// apart exactly in 128-bit integers: n = Q >> k, and the fraction of q is
// the remainder r over 2^k.
bool RoundedParts(double value, int decimals, FixedParts& parts) {
    if (decimals < 0 || decimals > 9 || !std::isfinite(value)) return false;
    const auto bits = std::bit_cast<std::uint64_t>(std::fabs(value));
    const int biased = static_cast<int>(bits >> 52);
    // Whole numbers from 2^52 up are not handled here; subnormal values are
    // below 10^-300 and give 0 like every value with k > 83.
    const int k = biased == 0 ? 1074 : 1075 - biased;
    if (k <= 0) return false;
    std::uint64_t count = 0;
    // Q = M 10^decimals < 2^53 x 10^9 < 0.94 x 2^83. With k > 83, q < 0.47:
    // farther from 1/2 than any 18th-digit unit below 1, so the count is 0.
    if (k <= 83) {
        using Wide = unsigned __int128;
        const std::uint64_t mantissa = (bits & ((1ULL << 52) - 1)) | (1ULL << 52);
        const Wide scaled = static_cast<Wide>(mantissa) * PowersOfTen[decimals];
        const auto whole = static_cast<std::uint64_t>(scaled >> k);
        if (whole >= PowersOfTen[15] - 1) return false;
        const Wide remainder = scaled & ((static_cast<Wide>(1) << k) - 1);
        const Wide half = static_cast<Wide>(1) << (k - 1);
        count = whole;
        if (remainder >= half) {
            ++count;
        } else {
            // 1/2 - fraction = (half - remainder) / 2^k must exceed half an
            // 18th-digit unit, 10^(e-17) / 2 with e the weight of q's first
            // digit (-1, the largest e below 1, where q can be near 1/2).
            // Testing against the whole unit covers the rounding of this
            // double comparison; 2^-k is exact.
            const int e = whole == 0 ? -1 : DigitCount(whole) - 1;
            const double gap = static_cast<double>(half - remainder) *
                               std::bit_cast<double>(static_cast<std::uint64_t>(1023 - k) << 52);
            if (gap <= EighteenthDigitUnits[e + 1]) return false;
        }
    }
    parts.negative = value < 0;
    parts.integer = count / PowersOfTen[decimals];
    parts.fraction = count % PowersOfTen[decimals];
    return true;
}

bool QuickParts(double value, int decimals, FixedParts& parts) {
    return WholeNumberParts(value, decimals, parts) || RoundedParts(value, decimals, parts);
}

// Characters of the text of `parts`, without padding.
int TextLength(const FixedParts& parts, int decimals) {
    return static_cast<int>(parts.negative) + DigitCount(parts.integer) + (decimals > 0 ? decimals + 1 : 0);
}

// Writes the text of `parts` right-aligned in `width` at `out`, which has
// room for max(width, TextLength); returns the number of characters written.
std::size_t WriteParts(char* out, const FixedParts& parts, int decimals, int width) {
    const int length = TextLength(parts, decimals);
    const int padding = width > length ? width - length : 0;
    for (int i = 0; i < padding; ++i) out[i] = ' ';
    char* p = out + padding + length;
    if (decimals > 0) {
        p = WriteDigitsBackwards(p, parts.fraction, decimals);
        *--p = '.';
    }
    p = WriteDigitsBackwards(p, parts.integer);
    if (parts.negative) *--p = '-';
    return static_cast<std::size_t>(padding) + static_cast<std::size_t>(length);
}

// The longest text of QuickParts: a sign, 15 digits, the point, 20 decimals.
constexpr std::size_t QuickTextLength = 40;

// The digits of n < 10^8 as eight digit values (0..9) in the bytes of one
// word, first digit in the lowest byte, leading zeros included: the 4-digit
// halves, then their 2-digit halves, then single digits, each step dividing
// all parts at once by multiplying with a reciprocal (exact for these ranges).
std::uint64_t EightDigits(std::uint32_t n) {
    std::uint64_t x = n / 10000 | static_cast<std::uint64_t>(n % 10000) << 32;
    const std::uint64_t hundreds = ((x * 5243) >> 19) & 0x0000007F0000007FULL;
    x = hundreds | (x - hundreds * 100) << 16;
    const std::uint64_t tens = ((x * 103) >> 10) & 0x000F000F000F000FULL;
    return tens | (x - tens * 10) << 8;
}

constexpr std::uint64_t AsciiZeros = 0x3030303030303030ULL;

// The fields of one row of numbers, for whole numbers from 0 below 10^8 in
// fields that hold them: the text of such a number is its digits, made
// eight at a time in one word, leading zeros turned into spaces, then the
// point and zero decimals (also one word), each word stored at once. The
// words may leave up to 8 characters of junk after a field, which the next
// field overwrites or the end of the row drops.
struct WholeNumberFields {
    bool usable = false;
    int width = 0;
    int integerField = 0;  // characters before the point
    double limit = 0;      // the numbers below it fit
    std::uint64_t tail = 0;  // the point and the zero decimals, as stored
};

WholeNumberFields FieldsFor(int decimals, int width) {
    WholeNumberFields fields;
    fields.width = width;
    fields.integerField = width - (decimals > 0 ? decimals + 1 : 0);
    const int digitRoom = std::min(fields.integerField, 8);
    // The point and up to 7 zeros fit one word; the integer part at most 16
    // characters (8 spaces, then the word of digits).
    fields.usable =
        std::endian::native == std::endian::little && decimals <= 7 && digitRoom >= 1 && fields.integerField <= 16;
    if (!fields.usable) return fields;
    fields.limit = static_cast<double>(PowersOfTen[digitRoom]);
    char tail[8];
    for (int i = 0; i < 8; ++i) tail[i] = decimals == 0 || i > decimals ? ' ' : i == 0 ? '.' : '0';
    std::memcpy(&fields.tail, tail, 8);
    return fields;
}

// Writes the field of `value` at `out` and returns true when `value` is such
// a number (a negative zero counts as 0); otherwise writes nothing. (The
// fields come by value, so that they stay in registers while characters are
// stored.)
[[gnu::always_inline]] inline bool WriteWholeNumberField(char* out, double value, WholeNumberFields fields) {
    if (!(fields.usable && value >= 0 && value < fields.limit)) return false;
    const auto whole = static_cast<std::uint32_t>(value);
    if (static_cast<double>(whole) != value) return false;
    const std::uint64_t digits = EightDigits(whole);
    // Leading zeros, all but the last digit, become spaces.
    const int leading = std::countr_zero(digits | 1ULL << 56) / 8;
    const std::uint64_t text = digits + AsciiZeros - (((1ULL << (8 * leading)) - 1) & 0x1010101010101010ULL);
    if (fields.integerField >= 8) {
        std::memset(out, ' ', 8);
        std::memcpy(out + fields.integerField - 8, &text, 8);
    } else {
        const std::uint64_t kept = text >> (8 * (8 - fields.integerField));
        std::memcpy(out, &kept, 8);
    }
    std::memcpy(out + fields.integerField, &fields.tail, 8);
    return true;
}

// The text of `parts` right-aligned in `width` at `out`, as WriteParts writes
// it, made from words as the whole-number fields are, when the integer part
// has at most 8 digits and there are 1 to 8 decimals; returns the number of
// characters, or 0 (having written nothing) in any other case. May leave up
// to 8 characters of junk after the text.
[[gnu::always_inline]] inline std::size_t WritePartsInWords(char* out, const FixedParts& parts, int decimals,
                                                            int width) {
    if (std::endian::native != std::endian::little || decimals < 1 || decimals > 8 ||
        parts.integer >= PowersOfTen[8])
        return 0;
    const std::uint64_t digits = EightDigits(static_cast<std::uint32_t>(parts.integer));
    const int leading = std::countr_zero(digits | 1ULL << 56) / 8;  // all but the last digit
    const int integerLength = 8 - leading;
    const int length = static_cast<int>(parts.negative) + integerLength + 1 + decimals;
    const int padding = width > length ? width - length : 0;
    for (int i = 0; i < padding; i += 8) std::memset(out + i, ' ', 8);
    char* p = out + padding;
    if (parts.negative) *p++ = '-';
    const std::uint64_t integer = (digits + AsciiZeros) >> (8 * leading);
    std::memcpy(p, &integer, 8);
    p += integerLength;
    *p++ = '.';
    const std::uint64_t fraction =
        (EightDigits(static_cast<std::uint32_t>(parts.fraction)) + AsciiZeros) >> (8 * (8 - decimals));
    std::memcpy(p, &fraction, 8);
    return static_cast<std::size_t>(padding) + static_cast<std::size_t>(length);
}

// The text by the value's decimal expansion, digit by digit: right for every
// value, and the reference that the quick ways above reproduce.
std::string FixedByDigits(double value, int decimals) {
    const bool negative = value < 0;
    // The decimal expansion to 18 significant digits: one digit, the point,
    // 17 digits and the exponent ("1.49999999999999994e-01").
    // std::to_chars rounds the exact binary value correctly, as printf's
    // "%.17e" does, at a fraction of the cost.
    char expansion[40];
    const char* const end =
        std::to_chars(expansion, expansion + sizeof expansion, std::fabs(value), std::chars_format::scientific, 17).ptr;
    std::string digits;  // the 18 significant digits
    digits.reserve(18);
    const char* p = expansion;
    for (; *p != 'e'; ++p)
        if (*p != '.') digits.push_back(*p);
    int exponent = 0;
    std::from_chars(p + (p[1] == '+' ? 2 : 1), end, exponent);

    // digits[i] has the weight 10^(exponent - i). Keep those down to
    // 10^-decimals; the first dropped digit decides the rounding.
    const int kept = exponent + 1 + decimals;  // number of significant digits kept
    std::string whole;                         // kept digits, as an integer count of 10^-decimals
    bool round_up = false;
    if (kept <= 0) {
        whole = "0";
        round_up = kept == 0 && digits[0] >= '5';
    } else if (kept >= static_cast<int>(digits.size())) {
        whole = digits + std::string(static_cast<std::size_t>(kept) - digits.size(), '0');
    } else {
        whole = digits.substr(0, static_cast<std::size_t>(kept));
        round_up = digits[static_cast<std::size_t>(kept)] >= '5';
    }
    if (round_up) {
        int i = static_cast<int>(whole.size()) - 1;
        for (; i >= 0 && whole[static_cast<std::size_t>(i)] == '9'; --i) whole[static_cast<std::size_t>(i)] = '0';
        if (i < 0) whole.insert(whole.begin(), '1');
        else ++whole[static_cast<std::size_t>(i)];
    }
    // Place the decimal point.
    if (static_cast<int>(whole.size()) <= decimals)
        whole.insert(0, static_cast<std::size_t>(decimals + 1) - whole.size(), '0');
    std::string text = whole;
    if (decimals > 0) text.insert(text.end() - decimals, '.');
    // Strip leading zeros of the integer part, keeping one.
    std::size_t first = 0;
    const std::size_t point = decimals > 0 ? text.size() - static_cast<std::size_t>(decimals) - 1 : text.size();
    while (first + 1 < point && text[first] == '0') ++first;
    text.erase(0, first);
    if (negative) text.insert(text.begin(), '-');
    return text;
}

}  // namespace

void AppendFixed(std::string& out, double value, int decimals, int width) {
    AppendFixedRow(out, std::span<const double>(&value, 1), decimals, width);
}

void AppendFixedRow(std::string& out, std::span<const double> values, int decimals, int width) {
    // Room for the field of every value and the junk that the words may
    // leave after it. Any other text (at most QuickTextLength characters by
    // the quick way, any length by the digit-by-digit way) makes more room.
    const WholeNumberFields fields = FieldsFor(decimals, width);
    const std::size_t field = static_cast<std::size_t>(std::max(width, 0));
    const std::size_t count = values.size();
    std::size_t used = out.size();
    out.resize(used + count * field + 8);
    char* text = out.data();
    for (std::size_t i = 0; i < count; ++i) {
        // Two at a time when both are whole numbers, so that their digits
        // are made side by side.
        if (i + 1 < count && WriteWholeNumberField(text + used, values[i], fields) &&
            WriteWholeNumberField(text + used + field, values[i + 1], fields)) {
            used += 2 * field;
            ++i;
            continue;
        }
        if (WriteWholeNumberField(text + used, values[i], fields)) {
            used += field;
            continue;
        }
        const std::size_t rest = (count - i - 1) * field + 8;
        FixedParts parts;
        if (QuickParts(values[i], decimals, parts)) {
            if (out.size() < used + QuickTextLength + field + rest + 8) {
                out.resize(used + QuickTextLength + field + rest + 8);
                text = out.data();
            }
            const std::size_t written = WritePartsInWords(text + used, parts, decimals, width);
            used += written > 0 ? written : WriteParts(text + used, parts, decimals, width);
            continue;
        }
        const std::string number = FormatFixed(values[i], decimals, width);
        if (out.size() < used + number.size() + rest) {
            out.resize(used + number.size() + rest);
            text = out.data();
        }
        number.copy(text + used, number.size());
        used += number.size();
    }
    out.resize(used);
}

void AppendPValue(std::string& out, double value) {
    if (value < SmallestShownPValue) out += "< 0.0001";
    else AppendFixed(out, value, 4, 0);
}

std::string PadLeft(std::string text, int width) {
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

std::string FormatInteger(std::int64_t value, int width) { return PadLeft(std::to_string(value), width); }

std::string FormatFixed(double value, int decimals, int width) {
    if (std::isnan(value)) return PadLeft("Nan", width);
    if (std::isinf(value)) return PadLeft(value > 0 ? "+Inf" : "-Inf", width);
    if (FixedParts parts; QuickParts(value, decimals, parts)) {
        std::string text(static_cast<std::size_t>(std::max(width, TextLength(parts, decimals))), ' ');
        WriteParts(text.data(), parts, decimals, width);
        return text;
    }
    return PadLeft(FixedByDigits(value, decimals), width);
}

}  // namespace kelvo
