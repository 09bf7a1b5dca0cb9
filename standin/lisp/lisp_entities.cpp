// The LISP functions of the drawing: entmake, entget, entnext, entlast,
// entdel, ssget, sslength, ssname and command.
#include "host/internal.h"
#include "host/standin.h"
#include "lisp/lisp.h"

namespace standin::lisp {

namespace {

// An entity list ((0 . "LINE") (8 . "0") (10 1.0 2.0 0.0) ...) as groups.
resbuf* groupList(const Value& list) {
    resbuf* head = nullptr;
    resbuf** tail = &head;
    for (const Value& item : listItems(list)) {
        if (!item || item->type != Type::Cons || !item->car || item->car->type != Type::Int) {
            acutRelRb(head);
            throw LispError("bad DXF group: " + toUtf8(printValue(item)));
        }
        int code = static_cast<int>(item->car->integer);
        const Value& v = item->cdr;
        resbuf* rb = acutNewRb(code);
        *tail = rb;
        tail = &rb->rbnext;
        auto bad = [&] {
            acutRelRb(head);
            return LispError("bad DXF group: " + toUtf8(printValue(item)));
        };
        switch (carried(code)) {
        case Carries::String:
            if (!v || v->type != Type::Str) throw bad();
            rb->resval.rstring = duplicateString(v->text);
            break;
        case Carries::Real:
            if (!isNumber(v)) throw bad();
            rb->resval.rreal = numberOf(v);
            break;
        case Carries::Short:
            if (!isNumber(v)) throw bad();
            rb->resval.rint = static_cast<short>(numberOf(v));
            break;
        case Carries::Long:
            if (!isNumber(v)) throw bad();
            rb->resval.rlong = static_cast<Adesk::Int32>(numberOf(v));
            break;
        case Carries::Point: {
            std::vector<Value> xyz = listItems(v);
            if (xyz.size() < 2 || xyz.size() > 3) throw bad();
            for (std::size_t i = 0; i < 3; ++i) {
                if (i < xyz.size() && !isNumber(xyz[i])) throw bad();
                rb->resval.rpoint[i] = i < xyz.size() ? numberOf(xyz[i]) : 0.0;
            }
            break;
        }
        case Carries::Name:
            if (!v || v->type != Type::Ename) throw bad();
            rb->resval.rlname[0] = v->name[0];
            rb->resval.rlname[1] = v->name[1];
            break;
        default:
            throw bad();
        }
    }
    return head;
}

// An entity's group list as LISP: dotted pairs, points as (code x y z).
Value groupsValue(const resbuf* list) {
    std::vector<Value> items;
    for (const resbuf* rb = list; rb; rb = rb->rbnext) {
        Value code = makeInt(rb->restype);
        Value v;
        switch (carried(rb->restype)) {
        case Carries::String:
            v = makeString(rb->resval.rstring ? rb->resval.rstring : L"");
            break;
        case Carries::Real:
            v = makeReal(rb->resval.rreal);
            break;
        case Carries::Short:
            v = makeInt(rb->resval.rint);
            break;
        case Carries::Long:
            v = makeInt(rb->resval.rlong);
            break;
        case Carries::Name:
            v = makeEname(rb->resval.rlname);
            break;
        case Carries::Point:
            items.push_back(
                cons(code, makeList({makeReal(rb->resval.rpoint[0]), makeReal(rb->resval.rpoint[1]),
                                     makeReal(rb->resval.rpoint[2])})));
            continue;
        default:
            continue;
        }
        items.push_back(cons(code, v));
    }
    return makeList(items);
}

const Value& entityArg(const std::vector<Value>& args, std::size_t i) {
    if (i >= args.size()) throw LispError("too few arguments");
    if (!args[i] || args[i]->type != Type::Ename)
        throw LispError("bad argument type: lentityp " + toUtf8(printValue(args[i])));
    return args[i];
}

const Value& picksetArg(const std::vector<Value>& args, std::size_t i) {
    if (i >= args.size()) throw LispError("too few arguments");
    if (!args[i] || args[i]->type != Type::Pickset)
        throw LispError("bad argument type: lselsetp " + toUtf8(printValue(args[i])));
    return args[i];
}

} // namespace

void installEntityFunctions(Interpreter& lisp) {
    lisp.define(L"entmake", [](Interpreter&, std::vector<Value>& a) -> Value {
        if (a.empty()) throw LispError("too few arguments");
        resbuf* list = groupList(a[0]);
        int status = acdbEntMake(list);
        acutRelRb(list);
        return status == RTNORM ? a[0] : nullptr;
    });
    lisp.define(L"entlast", [](Interpreter&, std::vector<Value>&) -> Value {
        ads_name name;
        return acdbEntLast(name) == RTNORM ? makeEname(name) : nullptr;
    });
    lisp.define(L"entnext", [](Interpreter&, std::vector<Value>& a) -> Value {
        ads_name from = {0, 0}, next;
        if (!a.empty() && a[0]) {
            from[0] = entityArg(a, 0)->name[0];
            from[1] = entityArg(a, 0)->name[1];
        }
        return acdbEntNext(from, next) == RTNORM ? makeEname(next) : nullptr;
    });
    lisp.define(L"entget", [](Interpreter&, std::vector<Value>& a) -> Value {
        const Value& e = entityArg(a, 0);
        resbuf* list = acdbEntGet(e->name);
        if (!list) return nullptr;
        Value v = groupsValue(list);
        acutRelRb(list);
        return v;
    });
    lisp.define(L"entdel", [](Interpreter&, std::vector<Value>& a) -> Value {
        const Value& e = entityArg(a, 0);
        return acdbEntDel(e->name) == RTNORM ? e : nullptr;
    });
    lisp.define(L"ssget", [](Interpreter&, std::vector<Value>& a) -> Value {
        if (a.empty() || !a[0] || a[0]->type != Type::Str)
            throw LispError("ssget: only (ssget \"X\" [filter]) is available here");
        resbuf* filter = a.size() > 1 ? groupList(a[1]) : nullptr;
        ads_name set;
        int status = acedSSGet(a[0]->text.c_str(), nullptr, nullptr, filter, set);
        acutRelRb(filter);
        return status == RTNORM ? makePickset(set) : nullptr;
    });
    lisp.define(L"sslength", [](Interpreter&, std::vector<Value>& a) -> Value {
        Adesk::Int32 n = 0;
        return acedSSLength(picksetArg(a, 0)->name, &n) == RTNORM ? makeInt(n) : nullptr;
    });
    lisp.define(L"ssname", [](Interpreter&, std::vector<Value>& a) -> Value {
        const Value& set = picksetArg(a, 0);
        if (a.size() < 2 || !isNumber(a[1])) throw LispError("too few arguments");
        ads_name e;
        return acedSSName(set->name, static_cast<Adesk::Int32>(numberOf(a[1])), e) == RTNORM
                   ? makeEname(e)
                   : nullptr;
    });
    lisp.define(L"command", [](Interpreter&, std::vector<Value>& a) -> Value {
        // The host commands take their inputs as strings here.
        std::vector<std::wstring> words;
        for (const Value& v : a)
            words.push_back(v && v->type == Type::Str ? v->text : printValue(v, false));
        if (words.empty()) return nullptr;
        int status;
        switch (words.size()) {
        case 1:
            status = acedCommandS(RTSTR, words[0].c_str(), RTNONE);
            break;
        case 2:
            status = acedCommandS(RTSTR, words[0].c_str(), RTSTR, words[1].c_str(), RTNONE);
            break;
        default:
            status = acedCommandS(RTSTR, words[0].c_str(), RTSTR, words[1].c_str(), RTSTR,
                                  words[2].c_str(), RTNONE);
            break;
        }
        (void)status;
        return nullptr;
    });
}

} // namespace standin::lisp
