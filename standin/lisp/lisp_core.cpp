// LISP values, the reader, the printer and the result-buffer conversions.
#include "host/internal.h"
#include "host/standin.h"
#include "lisp/lisp.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwctype>
#include <new>

namespace standin::lisp {

Object::~Object() {
    if (!car && !cdr) return;
    try {
        std::vector<Value> pending;
        if (car) pending.push_back(std::move(car));
        if (cdr) pending.push_back(std::move(cdr));
        while (!pending.empty()) {
            Value v = std::move(pending.back());
            pending.pop_back();
            if (v.use_count() == 1) {
                if (v->car) pending.push_back(std::move(v->car));
                if (v->cdr) pending.push_back(std::move(v->cdr));
            }
        }
    } catch (const std::bad_alloc&) {
        // No memory left for the work list: what it did not take is released
        // item by item as the members go.
    }
}

namespace {
Value make(Type type) {
    auto v = std::make_shared<Object>();
    v->type = type;
    return v;
}
} // namespace

Value makeInt(long long v) {
    Value o = make(Type::Int);
    o->integer = v;
    return o;
}
Value makeReal(double v) {
    Value o = make(Type::Real);
    o->real = v;
    return o;
}
Value makeString(std::wstring v) {
    Value o = make(Type::Str);
    o->text = std::move(v);
    return o;
}
Value makeSymbol(std::wstring_view name) {
    Value o = make(Type::Sym);
    o->text = name;
    for (auto& c : o->text)
        c = static_cast<wchar_t>(std::towlower(c));
    if (o->text == L"nil") return nullptr;
    if (o->text == L"t") return trueValue();
    return o;
}
Value makeEname(const Adesk::LongPtr name[2]) {
    Value o = make(Type::Ename);
    o->name[0] = name[0];
    o->name[1] = name[1];
    return o;
}
Value makePickset(const Adesk::LongPtr name[2]) {
    Value o = make(Type::Pickset);
    o->name[0] = name[0];
    o->name[1] = name[1];
    return o;
}
Value cons(Value car, Value cdr) {
    Value o = make(Type::Cons);
    o->car = std::move(car);
    o->cdr = std::move(cdr);
    return o;
}
Value makeList(const std::vector<Value>& items) {
    Value list;
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        list = cons(*it, list);
    return list;
}
Value trueValue() {
    static Value t = make(Type::T);
    return t;
}
Value voidValue() {
    static Value v = make(Type::Void);
    return v;
}
bool isVoid(const Value& v) {
    return v && v->type == Type::Void;
}
bool isNumber(const Value& v) {
    return v && (v->type == Type::Int || v->type == Type::Real);
}
double numberOf(const Value& v) {
    if (!isNumber(v)) throw LispError("bad argument type: numberp: " + toUtf8(printValue(v)));
    return v->type == Type::Int ? static_cast<double>(v->integer) : v->real;
}
Value makeWholeNumber(long long v) {
    return fitsInteger(v) ? makeInt(v) : makeReal(static_cast<double>(v));
}
long long truncatedNumber(const Value& v) {
    double x = numberOf(v);
    if (std::isnan(x)) throw LispError("bad argument value: " + toUtf8(printValue(v)));
    return static_cast<long long>(std::clamp(std::trunc(x), -1e15, 1e15));
}
std::vector<Value> listItems(const Value& list) {
    std::vector<Value> items;
    for (Value p = list; p && p->type == Type::Cons; p = p->cdr)
        items.push_back(p->car);
    return items;
}

// ---------------------------------------------------------------- reader

wchar_t Reader::get() {
    wchar_t c = peek();
    if (pos_ < src_.size()) ++pos_;
    // A line ends with a line feed, or with a carriage return alone.
    if (c == L'\n' || (c == L'\r' && peek() != L'\n')) ++line_;
    return c;
}

bool Reader::skipToForm() {
    for (;;) {
        while (pos_ < src_.size() && std::iswspace(peek()))
            get();
        if (peek() != L';') return pos_ < src_.size();
        if (pos_ + 1 < src_.size() && src_[pos_ + 1] == L'|') { // ;| block comment |;
            get();
            get();
            while (pos_ < src_.size() &&
                   !(peek() == L'|' && pos_ + 1 < src_.size() && src_[pos_ + 1] == L';'))
                get();
            get();
            get();
        } else {
            while (pos_ < src_.size() && peek() != L'\n' && peek() != L'\r')
                get();
        }
    }
}

Value Reader::read() {
    if (!skipToForm()) throw LispError("malformed list on input");
    if (depth_ >= kMaxLispDepth) throw LispError("malformed list on input: nested too deeply");
    struct Nesting {
        int& depth;
        explicit Nesting(int& d) : depth(++d) {}
        ~Nesting() { --depth; }
    } nesting(depth_);
    wchar_t c = peek();
    if (c == L'(') {
        get();
        return readList();
    }
    if (c == L')') {
        get();
        throw LispError("extra right paren on input");
    }
    if (c == L'\'') {
        get();
        return makeList({makeSymbol(L"quote"), read()});
    }
    if (c == L'"') {
        get();
        return readString();
    }
    return readAtom();
}

Value Reader::readList() {
    std::vector<Value> items;
    Value tail;
    for (;;) {
        if (!skipToForm()) throw LispError("malformed list on input");
        if (peek() == L')') {
            get();
            break;
        }
        // A lone "." before the last item makes a dotted pair.
        if (peek() == L'.' && pos_ + 1 < src_.size() &&
            (std::iswspace(src_[pos_ + 1]) || src_[pos_ + 1] == L'(' || src_[pos_ + 1] == L'"') &&
            !items.empty()) {
            get();
            tail = read();
            if (!skipToForm() || peek() != L')') throw LispError("malformed list on input");
            get();
            break;
        }
        items.push_back(read());
    }
    Value list = tail;
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        list = cons(*it, list);
    return list;
}

Value Reader::readString() {
    std::wstring text;
    for (;;) {
        if (pos_ >= src_.size()) throw LispError("malformed string on input");
        wchar_t c = get();
        if (c == L'"') break;
        if (c != L'\\') {
            text += c;
            continue;
        }
        if (pos_ >= src_.size()) throw LispError("malformed string on input");
        wchar_t e = get();
        switch (e) {
        case L'n':
            text += L'\n';
            break;
        case L'r':
            text += L'\r';
            break;
        case L't':
            text += L'\t';
            break;
        case L'e':
            text += L'\x1b';
            break;
        case L'0':
        case L'1':
        case L'2':
        case L'3':
        case L'4':
        case L'5':
        case L'6':
        case L'7': {
            int code = e - L'0';
            for (int k = 0; k < 2 && peek() >= L'0' && peek() <= L'7'; ++k)
                code = code * 8 + (get() - L'0');
            text += static_cast<wchar_t>(code);
            break;
        }
        default:
            text += e;
            break; // \\ and \" and any other character stand for themselves
        }
    }
    return makeString(std::move(text));
}

Value Reader::readAtom() {
    std::wstring token;
    while (pos_ < src_.size()) {
        wchar_t c = peek();
        if (std::iswspace(c) || c == L'(' || c == L')' || c == L'\'' || c == L'"' || c == L';')
            break;
        token += get();
    }
    if (token.empty()) throw LispError("malformed list on input");
    // Numbers: an integer, or a real with a point or an exponent.
    std::string narrow = toUtf8(token);
    char* end = nullptr;
    bool digits = narrow.find_first_of("0123456789") != std::string::npos;
    if (digits && narrow.find_first_not_of("+-0123456789") == std::string::npos) {
        errno = 0;
        long long v = std::strtoll(narrow.c_str(), &end, 10);
        if (*end == '\0' && errno == 0 && v >= INT32_MIN && v <= INT32_MAX) return makeInt(v);
    }
    if (digits && narrow.find_first_not_of("+-0123456789.eE") == std::string::npos) {
        double v = std::strtod(narrow.c_str(), &end);
        if (*end == '\0') return makeReal(v);
    }
    return makeSymbol(token);
}

// ---------------------------------------------------------------- printer

namespace {

std::wstring printReal(double v) {
    if (std::isnan(v)) return L"nan";
    if (std::isinf(v)) return v > 0 ? L"inf" : L"-inf";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.6g", v);
    std::string s = buffer;
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return fromUtf8(s);
}

std::wstring quoteString(const std::wstring& text) {
    std::wstring out = L"\"";
    for (wchar_t c : text) {
        switch (c) {
        case L'"':
            out += L"\\\"";
            break;
        case L'\\':
            out += L"\\\\";
            break;
        case L'\n':
            out += L"\\n";
            break;
        case L'\r':
            out += L"\\r";
            break;
        case L'\t':
            out += L"\\t";
            break;
        case L'\x1b':
            out += L"\\e";
            break;
        default:
            out += c;
            break;
        }
    }
    return out + L"\"";
}

std::wstring upper(const std::wstring& text) {
    std::wstring out = text;
    for (auto& c : out)
        c = static_cast<wchar_t>(std::towupper(c));
    return out;
}

std::wstring hexName(const Adesk::LongPtr name[2]) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%llx", static_cast<unsigned long long>(name[0]));
    return fromUtf8(buffer);
}

} // namespace

namespace {
std::wstring printNested(const Value& v, bool quoted, int depth);
} // namespace

std::wstring printValue(const Value& v, bool quoted) {
    return printNested(v, quoted, 0);
}

namespace {

std::wstring printNested(const Value& v, bool quoted, int depth) {
    if (!v) return L"nil";
    switch (v->type) {
    case Type::T:
        return L"T";
    case Type::Int:
        return std::to_wstring(v->integer);
    case Type::Real:
        return printReal(v->real);
    case Type::Str:
        return quoted ? quoteString(v->text) : v->text;
    case Type::Sym:
        return upper(v->text);
    case Type::Ename:
        return L"<Entity name: " + hexName(v->name) + L">";
    case Type::Pickset:
        return L"<Selection set: " + hexName(v->name) + L">";
    case Type::Builtin:
        return L"<Subr: #" + upper(v->text) + L">";
    case Type::Lambda:
        return L"<USUBR: " + upper(v->text) + L">";
    case Type::Void:
        return L"";
    case Type::Cons: {
        if (depth >= kMaxLispDepth) return L"(...)";
        std::wstring out = L"(";
        Value p = v;
        bool first = true;
        for (; p && p->type == Type::Cons; p = p->cdr) {
            if (!first) out += L" ";
            out += printNested(p->car, quoted, depth + 1);
            first = false;
        }
        if (p) out += L" . " + printNested(p, quoted, depth + 1);
        return out + L")";
    }
    }
    return L"";
}

} // namespace

// ---------------------------------------------------------------- result lists

namespace {

resbuf* newItem(int type, resbuf**& tail) {
    resbuf* rb = acutNewRb(type);
    *tail = rb;
    tail = &rb->rbnext;
    return rb;
}

bool isPointList(const Value& v) {
    std::vector<Value> items = listItems(v);
    if (items.size() < 2 || items.size() > 3) return false;
    Value p = v;
    for (std::size_t i = 0; i < items.size(); ++i)
        p = p->cdr;
    if (p) return false; // dotted
    for (auto& item : items)
        if (!isNumber(item)) return false;
    return true;
}

} // namespace

void appendResbuf(const Value& v, resbuf**& tail) {
    static int depth = 0;
    struct Nesting {
        Nesting() {
            if (++depth > kMaxLispDepth) {
                --depth;
                throw LispError("bad argument: a list nested too deeply");
            }
        }
        ~Nesting() { --depth; }
    } nesting;
    if (!v) {
        newItem(RTNIL, tail);
        return;
    }
    switch (v->type) {
    case Type::T:
        newItem(RTT, tail);
        break;
    case Type::Int:
        if (v->integer >= -32768 && v->integer <= 32767)
            newItem(RTSHORT, tail)->resval.rint = static_cast<short>(v->integer);
        else
            newItem(RTLONG, tail)->resval.rlong = static_cast<Adesk::Int32>(v->integer);
        break;
    case Type::Real:
        newItem(RTREAL, tail)->resval.rreal = v->real;
        break;
    case Type::Str:
        newItem(RTSTR, tail)->resval.rstring = duplicateString(v->text);
        break;
    case Type::Sym:
        newItem(RTSTR, tail)->resval.rstring = duplicateString(upper(v->text));
        break;
    case Type::Ename: {
        resbuf* rb = newItem(RTENAME, tail);
        rb->resval.rlname[0] = v->name[0];
        rb->resval.rlname[1] = v->name[1];
        break;
    }
    case Type::Pickset: {
        resbuf* rb = newItem(RTPICKS, tail);
        rb->resval.rlname[0] = v->name[0];
        rb->resval.rlname[1] = v->name[1];
        break;
    }
    case Type::Cons: {
        if (isPointList(v)) {
            std::vector<Value> items = listItems(v);
            resbuf* rb = newItem(items.size() == 2 ? RTPOINT : RT3DPOINT, tail);
            for (std::size_t i = 0; i < 3; ++i)
                rb->resval.rpoint[i] = i < items.size() ? numberOf(items[i]) : 0.0;
            break;
        }
        newItem(RTLB, tail);
        Value p = v;
        for (; p && p->type == Type::Cons; p = p->cdr)
            appendResbuf(p->car, tail);
        if (p) {
            newItem(RTDOTE, tail);
            appendResbuf(p, tail);
        }
        newItem(RTLE, tail);
        break;
    }
    default:
        newItem(RTVOID, tail);
        break;
    }
}

resbuf* toResbufList(const std::vector<Value>& args) {
    resbuf* head = nullptr;
    resbuf** tail = &head;
    for (const Value& v : args)
        appendResbuf(v, tail);
    return head;
}

namespace {

Value itemValue(const resbuf*& rb);

// Items up to RTLE (or the end), with RTDOTE giving the tail.
Value readItems(const resbuf*& rb, bool nested) {
    std::vector<Value> items;
    Value tail;
    while (rb) {
        if (rb->restype == RTLE) {
            if (nested) rb = rb->rbnext;
            break;
        }
        if (rb->restype == RTDOTE) {
            rb = rb->rbnext;
            if (rb) tail = itemValue(rb);
            continue;
        }
        items.push_back(itemValue(rb));
    }
    Value list = tail;
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        list = cons(*it, list);
    return list;
}

Value itemValue(const resbuf*& rb) {
    const resbuf* item = rb;
    rb = rb->rbnext;
    switch (item->restype) {
    case RTLB:
        return readItems(rb, true);
    case RTSTR:
        return makeString(item->resval.rstring ? item->resval.rstring : L"");
    case RTSHORT:
        return makeInt(item->resval.rint);
    case RTLONG:
        return makeInt(item->resval.rlong);
    case RTREAL:
    case RTANG:
    case RTORINT:
        return makeReal(item->resval.rreal);
    case RTPOINT:
        return makeList({makeReal(item->resval.rpoint[0]), makeReal(item->resval.rpoint[1])});
    case RT3DPOINT:
        return makeList({makeReal(item->resval.rpoint[0]), makeReal(item->resval.rpoint[1]),
                         makeReal(item->resval.rpoint[2])});
    case RTENAME:
        return makeEname(item->resval.rlname);
    case RTPICKS:
        return makePickset(item->resval.rlname);
    case RTT:
        return trueValue();
    case RTNIL:
        return nullptr;
    case RTVOID:
        return voidValue();
    default:
        return nullptr;
    }
}

} // namespace

Value fromResbufList(const resbuf* list) {
    return readItems(list, false);
}

} // namespace standin::lisp
