// Numbers as text in the drawing's linear units, and text as numbers.
//
// Unit modes: 1 scientific, 2 decimal, 3 engineering (feet and decimal
// inches), 4 architectural (feet and fractional inches), 5 fractional; -1
// means the drawing's current units (LUNITS) and, for the precision, LUPREC.
// In engineering and architectural units the drawing unit is the inch.
#include "host/internal.h"
#include "host/standin.h"

#include <cmath>
#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <numeric>
#include <optional>
#include <string>
#include <string_view>

namespace standin {
namespace {

int currentUnits(int unit) {
    return unit == -1 ? sysVarInt(L"LUNITS", 2) : unit;
}
int currentPrecision(int prec) {
    return prec == -1 ? sysVarInt(L"LUPREC", 4) : prec;
}

bool knownUnits(int unit) {
    return unit >= 1 && unit <= 5;
}

// ---------------------------------------------------------------- number to text
std::string printfText(const char* format, int prec, double value) {
    int n = std::snprintf(nullptr, 0, format, prec, value);
    if (n < 0) return {};
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(out.data(), out.size(), format, prec, value);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

// A text of zeros with a minus sign ("-0.00") loses the sign.
std::string withoutNegativeZero(std::string text) {
    if (!text.empty() && text[0] == '-' && text.find_first_of("123456789", 1) == std::string::npos)
        text.erase(0, 1);
    return text;
}

// "a/b" reduced, or "" when the numerator is 0.
std::string fraction(long long numerator, long long denominator) {
    if (numerator == 0) return {};
    long long g = std::gcd(numerator, denominator);
    return std::to_string(numerator / g) + "/" + std::to_string(denominator / g);
}

// A whole number and a fraction of 2^prec parts: "3 1/2", "3", "1/2", "0".
std::string mixedNumber(long long whole, long long parts, long long denominator) {
    std::string f = fraction(parts, denominator);
    if (f.empty()) return std::to_string(whole);
    if (whole == 0) return f;
    return std::to_string(whole) + " " + f;
}

// Feet and inches: the feet are left out below one foot.
std::string feetAndInches(long long feet, const std::string& inches) {
    if (feet == 0) return inches + "\"";
    return std::to_string(feet) + "'-" + inches + "\"";
}

std::optional<std::string> format(double value, int unit, int prec) {
    if (!std::isfinite(value)) return std::nullopt;
    switch (unit) {
    case 1:
        return withoutNegativeZero(printfText("%.*E", prec, value));
    case 2:
        return withoutNegativeZero(printfText("%.*f", prec, value));
    default:
        break;
    }
    // The feet-and-inches and fractional forms count whole parts.
    double magnitude = std::fabs(value);
    if (magnitude > 1e15) return std::nullopt;
    std::string sign = value < 0 ? "-" : "";
    std::string text;
    if (unit == 3) {
        double scale = std::pow(10.0, prec);
        double inches = std::round(magnitude * scale) / scale;
        long long feet = static_cast<long long>(std::floor(inches / 12));
        double rest = inches - 12.0 * static_cast<double>(feet);
        std::string restText = printfText("%.*f", prec, rest);
        if (std::stod(restText) >= 12) { // rounding reached a whole foot
            ++feet;
            restText = printfText("%.*f", prec, 0.0);
        }
        text = feetAndInches(feet, restText);
        if (feet == 0 && std::stod(restText) == 0) sign.clear();
    } else {
        long long denominator = 1LL << prec;
        long long parts = std::llround(magnitude * static_cast<double>(denominator));
        if (parts == 0) sign.clear();
        if (unit == 4) {
            long long perFoot = 12 * denominator;
            long long feet = parts / perFoot;
            long long rest = parts % perFoot;
            text = feetAndInches(feet,
                                 mixedNumber(rest / denominator, rest % denominator, denominator));
        } else {
            text = mixedNumber(parts / denominator, parts % denominator, denominator);
        }
    }
    return sign + text;
}

// ---------------------------------------------------------------- text to number
class Scanner {
  public:
    explicit Scanner(std::wstring_view text) : s_(text) {}
    bool atEnd() const { return i_ >= s_.size(); }
    wchar_t peek(std::size_t ahead = 0) const {
        return i_ + ahead < s_.size() ? s_[i_ + ahead] : L'\0';
    }
    bool take(wchar_t c) {
        if (peek() != c) return false;
        ++i_;
        return true;
    }
    bool skipSpaces() {
        std::size_t start = i_;
        while (peek() == L' ' || peek() == L'\t')
            ++i_;
        return i_ > start;
    }
    std::size_t mark() const { return i_; }
    void reset(std::size_t mark) { i_ = mark; }

    // Digits: at least one.
    bool integer(std::wstring& out) {
        std::size_t start = i_;
        while (std::iswdigit(peek()))
            ++i_;
        out.assign(s_.substr(start, i_ - start));
        return i_ > start;
    }

    // Digits with an optional decimal point and exponent: 12, 0.5, .5, 3.,
    // 1.5E+01. No sign.
    bool decimal(double& value) {
        std::size_t start = i_;
        std::wstring whole, part;
        integer(whole);
        if (take(L'.')) integer(part);
        if (whole.empty() && part.empty()) {
            i_ = start;
            return false;
        }
        if (peek() == L'e' || peek() == L'E') {
            std::size_t beforeExponent = i_++;
            if (peek() == L'+' || peek() == L'-') ++i_;
            std::wstring digits;
            if (!integer(digits)) i_ = beforeExponent;
        }
        std::wstring text(s_.substr(start, i_ - start));
        value = std::wcstod(text.c_str(), nullptr);
        return std::isfinite(value);
    }

    // A fraction "a/b" of whole numbers, b not 0.
    bool simpleFraction(double& value) {
        std::size_t start = i_;
        std::wstring a, b;
        if (integer(a) && take(L'/') && integer(b)) {
            double d = std::wcstod(b.c_str(), nullptr);
            if (d != 0) {
                value = std::wcstod(a.c_str(), nullptr) / d;
                return true;
            }
        }
        i_ = start;
        return false;
    }

    // A quantity: a decimal number, a fraction, or a whole number and a
    // fraction ("6 1/2"); fractions only where the units allow them.
    bool quantity(double& value, bool fractions) {
        if (fractions && simpleFraction(value)) return true;
        std::size_t start = i_;
        std::wstring whole;
        if (fractions && integer(whole)) {
            double part = 0;
            if (skipSpaces() && simpleFraction(part)) {
                value = std::wcstod(whole.c_str(), nullptr) + part;
                return true;
            }
            i_ = start;
        }
        return decimal(value);
    }

  private:
    std::wstring_view s_;
    std::size_t i_ = 0;
};

// [sign] feet ' [- or blanks] inches ["], [sign] feet ', or [sign] inches ["].
bool feetAndInchesValue(Scanner& in, double& value) {
    double first = 0;
    if (!in.quantity(first, true)) return false;
    in.skipSpaces();
    if (in.take(L'\'')) {
        double inches = 0;
        std::size_t afterFeet = in.mark();
        in.skipSpaces();
        bool dash = in.take(L'-');
        in.skipSpaces();
        if (in.quantity(inches, true)) {
            in.skipSpaces();
            in.take(L'"');
        } else if (dash) {
            return false;
        } else {
            in.reset(afterFeet);
        }
        value = first * 12 + inches;
        return true;
    }
    in.take(L'"');
    value = first;
    return true;
}

std::optional<double> parse(std::wstring_view text, int unit) {
    Scanner in(text);
    in.skipSpaces();
    double sign = 1;
    if (in.take(L'-'))
        sign = -1;
    else
        in.take(L'+');
    double value = 0;
    bool ok = false;
    switch (unit) {
    case 1:
    case 2:
        ok = in.decimal(value);
        break;
    case 3:
    case 4:
        ok = feetAndInchesValue(in, value);
        break;
    case 5:
        ok = in.quantity(value, true);
        break;
    default:
        return std::nullopt;
    }
    in.skipSpaces();
    if (!ok || !in.atEnd() || !std::isfinite(value)) return std::nullopt;
    return sign * value;
}

} // namespace
} // namespace standin

int acdbRToS(ads_real value, int unit, int prec, ACHAR* str, size_t size) {
    if (!str || size == 0) return RTERROR;
    str[0] = L'\0';
    unit = standin::currentUnits(unit);
    prec = standin::currentPrecision(prec);
    if (!standin::knownUnits(unit)) return RTERROR;
    if (prec < 0) prec = 0;
    if (prec > 8) prec = 8;
    std::optional<std::string> text = standin::format(value, unit, prec);
    if (!text) return RTERROR;
    std::wstring wide = standin::fromUtf8(*text);
    if (wide.size() + 1 > size) return RTERROR;
    std::wmemcpy(str, wide.c_str(), wide.size() + 1);
    return RTNORM;
}

int acdbDisToF(const ACHAR* str, int unit, ads_real* value) {
    if (!str || !value) return RTERROR;
    std::optional<double> parsed = standin::parse(str, standin::currentUnits(unit));
    if (!parsed) return RTERROR;
    *value = *parsed;
    return RTNORM;
}
