// System variables: the drawing's units and precision, its folder.
#include "host/internal.h"
#include "host/standin.h"

#include <cwctype>
#include <filesystem>

namespace standin {

namespace {

struct SysVarValue {
    short type = RTNONE;
    double real = 0;
    int integer = 0;
    std::wstring text;
    ads_point point{0, 0, 0};
};

std::map<std::wstring, SysVarValue>& vars() {
    static auto* table = new std::map<std::wstring, SysVarValue>;
    return *table;
}

std::wstring upper(std::wstring_view name) {
    std::wstring out(name);
    for (auto& c : out)
        c = static_cast<wchar_t>(std::towupper(c));
    return out;
}

void setInt(const wchar_t* name, int value) {
    SysVarValue v;
    v.type = RTSHORT;
    v.integer = value;
    vars()[name] = v;
}

void ensureDefaults() {
    if (!vars().empty()) return;
    setInt(L"LUNITS", 2);
    setInt(L"LUPREC", 4);
    setInt(L"AUNITS", 0);
    setInt(L"AUPREC", 0);
}

} // namespace

void resetSysVars() {
    vars().clear();
}

int sysVarInt(const std::wstring& name, int fallback) {
    ensureDefaults();
    auto found = vars().find(upper(name));
    if (found == vars().end()) return fallback;
    const SysVarValue& v = found->second;
    if (v.type == RTSHORT || v.type == RTLONG) return v.integer;
    if (v.type == RTREAL) return static_cast<int>(v.real);
    return fallback;
}

void setSysVar(const std::wstring& name, const resbuf& value) {
    ensureDefaults();
    SysVarValue v;
    v.type = value.restype;
    switch (value.restype) {
    case RTSHORT:
        v.integer = value.resval.rint;
        break;
    case RTLONG:
        v.integer = value.resval.rlong;
        break;
    case RTREAL:
        v.real = value.resval.rreal;
        break;
    case RTSTR:
        v.text = value.resval.rstring ? value.resval.rstring : L"";
        break;
    case RTPOINT:
    case RT3DPOINT:
        for (int i = 0; i < 3; ++i)
            v.point[i] = value.resval.rpoint[i];
        break;
    default:
        return;
    }
    vars()[upper(name)] = v;
}

resbuf* sysVar(const std::wstring& name) {
    ensureDefaults();
    std::wstring key = upper(name);
    if (key == L"DWGPREFIX" && !vars().count(key)) {
        std::string folder = currentDrawing().folder;
        if (folder.empty()) folder = std::filesystem::current_path().string();
        if (folder.empty() || folder.back() != '/') folder += '/';
        resbuf* rb = acutNewRb(RTSTR);
        rb->resval.rstring = duplicateString(fromUtf8(folder));
        return rb;
    }
    auto found = vars().find(key);
    if (found == vars().end()) return nullptr;
    const SysVarValue& v = found->second;
    resbuf* rb = acutNewRb(v.type);
    switch (v.type) {
    case RTSHORT:
        rb->resval.rint = static_cast<short>(v.integer);
        break;
    case RTLONG:
        rb->resval.rlong = v.integer;
        break;
    case RTREAL:
        rb->resval.rreal = v.real;
        break;
    case RTSTR:
        rb->resval.rstring = duplicateString(v.text);
        break;
    default:
        for (int i = 0; i < 3; ++i)
            rb->resval.rpoint[i] = v.point[i];
        break;
    }
    return rb;
}

} // namespace standin

int acedGetVar(const ACHAR* sym, resbuf* result) {
    if (!sym || !result) return RTERROR;
    resbuf* value = standin::sysVar(sym);
    if (!value) return RTERROR;
    result->restype = value->restype;
    result->resval = value->resval; // the string now belongs to the caller
    std::free(value);
    return RTNORM;
}
