// Numbers as text in the drawing's linear units, and text as numbers.
#include "standin.h"

#include <cmath>
#include <cstdio>
#include <cwchar>

namespace standin {
namespace {

int currentUnits(int unit) { return unit == -1 ? sysVarInt(L"LUNITS", 2) : unit; }
int currentPrecision(int prec) { return prec == -1 ? sysVarInt(L"LUPREC", 4) : prec; }

} // namespace
} // namespace standin

int acdbRToS(ads_real value, int unit, int prec, ACHAR* str, size_t size) {
    if (!str || size == 0) return RTERROR;
    unit = standin::currentUnits(unit);
    prec = standin::currentPrecision(prec);
    if (prec < 0 || prec > 8) prec = 4;
    char buffer[64];
    if (unit == 1) std::snprintf(buffer, sizeof buffer, "%.*E", prec, value);
    else std::snprintf(buffer, sizeof buffer, "%.*f", prec, value);
    std::wstring text = standin::fromUtf8(buffer);
    if (text.size() + 1 > size) return RTERROR;
    std::wmemcpy(str, text.c_str(), text.size() + 1);
    return RTNORM;
}

int acdbDisToF(const ACHAR* str, int unit, ads_real* value) {
    (void)unit;
    if (!str || !value) return RTERROR;
    const ACHAR* p = str;
    while (*p == L' ') ++p;
    if (!*p) return RTERROR;
    ACHAR* end = nullptr;
    double v = std::wcstod(p, &end);
    if (end == p) return RTERROR;
    while (*end == L' ') ++end;
    if (*end || !std::isfinite(v)) return RTERROR;
    *value = v;
    return RTNORM;
}
