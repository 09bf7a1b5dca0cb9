// The LISP evaluator: special forms and the built-in functions that do not
// touch the host.
#include "host/standin.h"
#include "lisp/lisp.h"

#include <cmath>
#include <cwctype>
#include <new>

namespace standin::lisp {

namespace {

std::string upperName(const std::wstring& name) {
    std::string out = toUtf8(name);
    for (auto& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

void needArgs(const std::vector<Value>& args, std::size_t min, std::size_t max = SIZE_MAX) {
    if (args.size() < min) throw LispError("too few arguments");
    if (args.size() > max) throw LispError("too many arguments");
}

const std::wstring& stringArg(const Value& v) {
    if (!v || v->type != Type::Str)
        throw LispError("bad argument type: stringp " + toUtf8(printValue(v)));
    return v->text;
}

Value listArg(const Value& v) {
    if (v && v->type != Type::Cons)
        throw LispError("bad argument type: listp " + toUtf8(printValue(v)));
    return v;
}

bool equalValues(const Value& a, const Value& b, int depth = 0) {
    if (depth > kMaxLispDepth) throw LispError("equal: lists nested too deeply");
    Value x = a, y = b;
    // Along the lists without recursion, into their items with it.
    while (x && y && x->type == Type::Cons && y->type == Type::Cons) {
        if (x == y) return true;
        if (!equalValues(x->car, y->car, depth + 1)) return false;
        x = x->cdr;
        y = y->cdr;
    }
    if (x == y) return true;
    if (!x || !y) return false;
    if (isNumber(x) && isNumber(y)) return numberOf(x) == numberOf(y);
    if (x->type != y->type) return false;
    switch (x->type) {
    case Type::Str:
    case Type::Sym:
        return x->text == y->text;
    case Type::Ename:
    case Type::Pickset:
        return x->name[0] == y->name[0] && x->name[1] == y->name[1];
    default:
        return false;
    }
}

// Integers are 32-bit, as the reader makes them. Integer arithmetic is done
// in 64 bits, where no step of two 32-bit operands can overflow; a result
// outside the 32-bit range becomes a real and the rest of the expression is
// computed in reals, as a literal of that size reads as a real.
Value arithmetic(std::vector<Value>& args, wchar_t op) {
    if (args.empty()) return makeInt(0);
    bool allInt = true;
    for (auto& a : args) {
        numberOf(a);
        allInt = allInt && a->type == Type::Int;
    }
    std::size_t i = 1;
    double acc = 0;
    if (allInt) {
        long long whole = args[0]->integer;
        if (args.size() == 1 && op == L'-') whole = -whole;
        for (; i < args.size(); ++i) {
            long long v = args[i]->integer;
            long long next;
            if (op == L'+')
                next = whole + v;
            else if (op == L'-')
                next = whole - v;
            else if (op == L'*')
                next = whole * v;
            else {
                if (v == 0) throw LispError("divide by zero");
                next = whole / v;
            }
            if (!fitsInteger(next)) break; // this step again, in reals
            whole = next;
        }
        if (i >= args.size()) {
            if (fitsInteger(whole)) return makeInt(whole);
            return makeReal(static_cast<double>(whole));
        }
        acc = static_cast<double>(whole);
    } else {
        acc = numberOf(args[0]);
        if (args.size() == 1 && op == L'-') return makeReal(-acc);
    }
    for (; i < args.size(); ++i) {
        double v = numberOf(args[i]);
        if (op == L'+')
            acc += v;
        else if (op == L'-')
            acc -= v;
        else if (op == L'*')
            acc *= v;
        else {
            if (v == 0) throw LispError("divide by zero");
            acc /= v;
        }
    }
    return makeReal(acc);
}

Value compare(std::vector<Value>& args, int kind) {
    needArgs(args, 1);
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        const Value& a = args[i];
        const Value& b = args[i + 1];
        int order;
        if (a && b && a->type == Type::Str && b->type == Type::Str)
            order = a->text < b->text ? -1 : a->text > b->text ? 1 : 0;
        else {
            double x = numberOf(a), y = numberOf(b);
            order = x < y ? -1 : x > y ? 1 : 0;
        }
        bool ok = kind == 0   ? order == 0
                  : kind == 1 ? order != 0
                  : kind == 2 ? order < 0
                  : kind == 3 ? order > 0
                  : kind == 4 ? order <= 0
                              : order >= 0;
        if (!ok) return nullptr;
    }
    return trueValue();
}

} // namespace

Interpreter::Interpreter() {
    define(L"+", [](Interpreter&, std::vector<Value>& a) { return arithmetic(a, L'+'); });
    define(L"-", [](Interpreter&, std::vector<Value>& a) { return arithmetic(a, L'-'); });
    define(L"*", [](Interpreter&, std::vector<Value>& a) { return arithmetic(a, L'*'); });
    define(L"/", [](Interpreter&, std::vector<Value>& a) { return arithmetic(a, L'/'); });
    define(L"=", [](Interpreter&, std::vector<Value>& a) { return compare(a, 0); });
    define(L"/=", [](Interpreter&, std::vector<Value>& a) { return compare(a, 1); });
    define(L"<", [](Interpreter&, std::vector<Value>& a) { return compare(a, 2); });
    define(L">", [](Interpreter&, std::vector<Value>& a) { return compare(a, 3); });
    define(L"<=", [](Interpreter&, std::vector<Value>& a) { return compare(a, 4); });
    define(L">=", [](Interpreter&, std::vector<Value>& a) { return compare(a, 5); });
    define(L"list", [](Interpreter&, std::vector<Value>& a) { return makeList(a); });
    define(L"cons", [](Interpreter&, std::vector<Value>& a) {
        needArgs(a, 2, 2);
        return cons(a[0], a[1]);
    });
    define(L"car", [](Interpreter&, std::vector<Value>& a) {
        needArgs(a, 1, 1);
        Value l = listArg(a[0]);
        return l ? l->car : nullptr;
    });
    define(L"cdr", [](Interpreter&, std::vector<Value>& a) {
        needArgs(a, 1, 1);
        Value l = listArg(a[0]);
        return l ? l->cdr : nullptr;
    });
    define(L"cadr", [](Interpreter&, std::vector<Value>& a) {
        needArgs(a, 1, 1);
        Value l = listArg(a[0]);
        l = l ? listArg(l->cdr) : nullptr;
        return l ? l->car : nullptr;
    });
    define(L"nth", [](Interpreter&, std::vector<Value>& a) {
        needArgs(a, 2, 2);
        auto items = listItems(listArg(a[1]));
        long long n = truncatedNumber(a[0]);
        return n >= 0 && n < static_cast<long long>(items.size()) ? items[n] : nullptr;
    });
    define(L"length", [](Interpreter&, std::vector<Value>& a) {
        needArgs(a, 1, 1);
        return makeInt(static_cast<long long>(listItems(listArg(a[0])).size()));
    });
    define(L"reverse", [](Interpreter&, std::vector<Value>& a) {
        needArgs(a, 1, 1);
        auto items = listItems(listArg(a[0]));
        return makeList(std::vector<Value>(items.rbegin(), items.rend()));
    });
    define(L"append", [](Interpreter&, std::vector<Value>& a) {
        std::vector<Value> all;
        for (auto& l : a)
            for (auto& item : listItems(listArg(l)))
                all.push_back(item);
        return makeList(all);
    });
    define(L"assoc", [](Interpreter&, std::vector<Value>& a) -> Value {
        needArgs(a, 2, 2);
        for (auto& item : listItems(listArg(a[1])))
            if (item && item->type == Type::Cons && equalValues(item->car, a[0])) return item;
        return nullptr;
    });
    define(L"member", [](Interpreter&, std::vector<Value>& a) -> Value {
        needArgs(a, 2, 2);
        for (Value p = listArg(a[1]); p && p->type == Type::Cons; p = p->cdr)
            if (equalValues(p->car, a[0])) return p;
        return nullptr;
    });
    define(L"not", [](Interpreter&, std::vector<Value>& a) {
        needArgs(a, 1, 1);
        return a[0] ? nullptr : trueValue();
    });
    define(L"null", [](Interpreter&, std::vector<Value>& a) {
        needArgs(a, 1, 1);
        return a[0] ? nullptr : trueValue();
    });
    define(L"equal", [](Interpreter&, std::vector<Value>& a) {
        needArgs(a, 2, 3);
        return equalValues(a[0], a[1]) ? trueValue() : nullptr;
    });
    define(L"eq", [](Interpreter&, std::vector<Value>& a) {
        needArgs(a, 2, 2);
        bool same = a[0] == a[1] || (a[0] && a[1] && a[0]->type == Type::Sym &&
                                     a[1]->type == Type::Sym && a[0]->text == a[1]->text);
        return same ? trueValue() : nullptr;
    });
    define(L"strcat", [](Interpreter&, std::vector<Value>& a) {
        std::wstring out;
        for (auto& s : a)
            out += stringArg(s);
        return makeString(out);
    });
    define(L"strlen", [](Interpreter&, std::vector<Value>& a) {
        std::size_t n = 0;
        for (auto& s : a)
            n += stringArg(s).size();
        return makeInt(static_cast<long long>(n));
    });
    define(L"substr", [](Interpreter&, std::vector<Value>& a) {
        needArgs(a, 2, 3);
        const std::wstring& s = stringArg(a[0]);
        long long start = truncatedNumber(a[1]) - 1;
        if (start < 0) throw LispError("bad argument value: positive " + toUtf8(printValue(a[1])));
        if (start >= static_cast<long long>(s.size())) return makeString(L"");
        // Without a count, or with a negative one, the rest of the text.
        long long wanted = a.size() == 3 ? truncatedNumber(a[2]) : -1;
        std::size_t count = wanted < 0 ? std::wstring::npos : static_cast<std::size_t>(wanted);
        return makeString(s.substr(static_cast<std::size_t>(start), count));
    });
    define(L"itoa", [](Interpreter&, std::vector<Value>& a) {
        needArgs(a, 1, 1);
        double v = numberOf(a[0]);
        // Integers are 32-bit: a real beyond that range has no integer text.
        if (!(v > -2147483649.0 && v < 2147483648.0))
            throw LispError("bad argument value: " + toUtf8(printValue(a[0])));
        return makeString(std::to_wstring(static_cast<long long>(v)));
    });
    define(L"atoi", [](Interpreter&, std::vector<Value>& a) {
        needArgs(a, 1, 1);
        // A number beyond the 32-bit range reads as the real it is, as the
        // reader takes such a literal; beyond 64 bits it is held at the end.
        return makeWholeNumber(std::wcstoll(stringArg(a[0]).c_str(), nullptr, 10));
    });
    define(L"atof", [](Interpreter&, std::vector<Value>& a) {
        needArgs(a, 1, 1);
        return makeReal(std::wcstod(stringArg(a[0]).c_str(), nullptr));
    });
    define(L"type", [](Interpreter&, std::vector<Value>& a) -> Value {
        needArgs(a, 1, 1);
        if (!a[0]) return nullptr;
        static const wchar_t* names[] = {L"sym",   L"int",     L"real", L"str",   L"sym", L"list",
                                         L"ename", L"pickset", L"subr", L"usubr", L"sym"};
        return makeSymbol(names[static_cast<int>(a[0]->type)]);
    });
    define(L"princ", [](Interpreter&, std::vector<Value>& a) -> Value {
        if (a.empty()) return voidValue();
        writeOutput(printValue(a[0], false));
        return a[0];
    });
    define(L"prin1", [](Interpreter&, std::vector<Value>& a) -> Value {
        if (a.empty()) return voidValue();
        writeOutput(printValue(a[0], true));
        return a[0];
    });
    define(L"print", [](Interpreter&, std::vector<Value>& a) -> Value {
        if (a.empty()) return voidValue();
        writeOutput(L"\n" + printValue(a[0], true) + L" ");
        return a[0];
    });
    define(L"terpri", [](Interpreter&, std::vector<Value>&) -> Value {
        writeOutput(std::string_view("\n"));
        return nullptr;
    });
}

void Interpreter::define(std::wstring_view name, Builtin fn) {
    auto v = std::make_shared<Object>();
    v->type = Type::Builtin;
    v->text = name;
    v->builtin = std::move(fn);
    globals_[std::wstring(name)] = v;
}

Value Interpreter::variable(std::wstring_view name) const {
    auto found = globals_.find(std::wstring(name));
    return found == globals_.end() ? nullptr : found->second;
}

Value Interpreter::progn(const Value& body) {
    Value result;
    for (Value p = body; p && p->type == Type::Cons; p = p->cdr)
        result = eval(p->car);
    return result;
}

Value Interpreter::evalSpecial(const std::wstring& op, const Value& form, bool& handled) {
    handled = true;
    std::vector<Value> parts = listItems(form->cdr);
    if (op == L"quote") {
        needArgs(parts, 1, 1);
        return parts[0];
    }
    if (op == L"setq") {
        if (parts.size() % 2 != 0 || parts.empty()) throw LispError("too few arguments");
        Value result;
        for (std::size_t i = 0; i < parts.size(); i += 2) {
            if (!parts[i] || parts[i]->type != Type::Sym)
                throw LispError("bad argument type: symbolp " + toUtf8(printValue(parts[i])));
            result = eval(parts[i + 1]);
            globals_[parts[i]->text] = result;
        }
        return result;
    }
    if (op == L"progn") return progn(form->cdr);
    if (op == L"if") {
        needArgs(parts, 2, 3);
        if (eval(parts[0])) return eval(parts[1]);
        return parts.size() == 3 ? eval(parts[2]) : nullptr;
    }
    if (op == L"cond") {
        for (auto& clause : parts) {
            auto items = listItems(clause);
            if (items.empty()) continue;
            Value test = eval(items[0]);
            if (test) return items.size() == 1 ? test : progn(clause->cdr);
        }
        return nullptr;
    }
    if (op == L"and") {
        for (auto& p : parts)
            if (!eval(p)) return nullptr;
        return trueValue();
    }
    if (op == L"or") {
        for (auto& p : parts)
            if (eval(p)) return trueValue();
        return nullptr;
    }
    if (op == L"while") {
        needArgs(parts, 1);
        Value result;
        while (eval(parts[0]))
            result = progn(form->cdr->cdr);
        return result;
    }
    if (op == L"repeat") {
        needArgs(parts, 1);
        long long n = truncatedNumber(eval(parts[0]));
        Value result;
        for (long long i = 0; i < n; ++i) {
            // A repeat without a body evaluates nothing: each turn is a step.
            if (stepsLeft == 0) throw LispError("evaluation step limit reached");
            if (stepsLeft > 0) --stepsLeft;
            result = progn(form->cdr->cdr);
        }
        return result;
    }
    if (op == L"foreach") {
        needArgs(parts, 2);
        if (!parts[0] || parts[0]->type != Type::Sym) throw LispError("bad argument type: symbolp");
        Value result;
        for (auto& item : listItems(listArg(eval(parts[1])))) {
            globals_[parts[0]->text] = item;
            result = progn(form->cdr->cdr->cdr);
        }
        return result;
    }
    if (op == L"defun" || op == L"lambda") {
        bool named = op == L"defun";
        needArgs(parts, named ? 2 : 1);
        auto fn = std::make_shared<Object>();
        fn->type = Type::Lambda;
        fn->text = named && parts[0] ? parts[0]->text : L"lambda";
        fn->car = parts[named ? 1 : 0];
        fn->cdr = named ? form->cdr->cdr->cdr : form->cdr->cdr;
        if (!named) return fn;
        if (!parts[0] || parts[0]->type != Type::Sym) throw LispError("bad argument type: symbolp");
        globals_[parts[0]->text] = fn;
        return makeSymbol(parts[0]->text);
    }
    if (op == L"function") {
        needArgs(parts, 1, 1);
        return eval(parts[0]);
    }
    handled = false;
    return nullptr;
}

Value Interpreter::eval(const Value& form) {
    if (!form) return nullptr;
    if (depth_ >= kMaxLispDepth) throw LispError("stack limit reached: forms nested too deeply");
    if (stepsLeft == 0) throw LispError("evaluation step limit reached");
    if (stepsLeft > 0) --stepsLeft;
    struct Nesting {
        int& depth;
        explicit Nesting(int& d) : depth(++d) {}
        ~Nesting() { --depth; }
    } nesting(depth_);
    if (form->type == Type::Sym) return variable(form->text);
    if (form->type != Type::Cons) return form;

    const Value& head = form->car;
    std::wstring name;
    Value fn;
    if (head && head->type == Type::Sym) {
        name = head->text;
        bool handled = false;
        Value result = evalSpecial(name, form, handled);
        if (handled) return result;
        fn = variable(name);
    } else {
        fn = eval(head);
        name = L"lambda";
    }
    std::vector<Value> args;
    for (Value p = form->cdr; p && p->type == Type::Cons; p = p->cdr)
        args.push_back(eval(p->car));
    if (fn && (fn->type == Type::Builtin || fn->type == Type::Lambda)) return apply(fn, name, args);
    Value result;
    if (externalCall && externalCall(name, args, result)) return result;
    throw LispError("no function definition: " + upperName(name));
}

Value Interpreter::apply(const Value& fn, const std::wstring& name, std::vector<Value>& args) {
    if (fn->type == Type::Builtin) return fn->builtin(*this, args);
    if (fn->type != Type::Lambda) throw LispError("bad function: " + upperName(name));
    // Parameters, then "/" and local variables; bindings are dynamic and
    // restored when the function returns.
    std::vector<std::wstring> params, locals;
    bool inLocals = false;
    for (auto& p : listItems(fn->car)) {
        if (!p || p->type != Type::Sym) continue;
        if (p->text == L"/")
            inLocals = true;
        else
            (inLocals ? locals : params).push_back(p->text);
    }
    if (args.size() < params.size()) throw LispError("too few arguments");
    if (args.size() > params.size()) throw LispError("too many arguments");
    std::vector<std::pair<std::wstring, Value>> saved;
    for (auto& n : params)
        saved.emplace_back(n, variable(n));
    for (auto& n : locals)
        saved.emplace_back(n, variable(n));
    for (std::size_t i = 0; i < params.size(); ++i)
        globals_[params[i]] = args[i];
    for (auto& n : locals)
        globals_[n] = nullptr;
    struct Restore {
        Interpreter& self;
        std::vector<std::pair<std::wstring, Value>>& saved;
        ~Restore() {
            for (auto& [n, v] : saved)
                self.globals_[n] = v;
        }
    } restore{*this, saved};
    return progn(fn->cdr);
}

bool Interpreter::run(std::wstring_view source, bool printResults, Value* last,
                      std::wstring_view sourceName) {
    Reader reader(source);
    for (;;) {
        Value form;
        int formLine = reader.line();
        try {
            if (!reader.skipToForm()) return true;
            formLine = reader.line();
            form = reader.read();
        } catch (const std::bad_alloc&) {
            freshLine();
            writeOutput(std::string_view("; error: out of memory\n"));
            return false;
        } catch (const LispError& e) {
            freshLine();
            // A typed expression is its own place; a script's path and line
            // say where to look.
            std::string where;
            if (!sourceName.empty())
                where = " (" + toUtf8(sourceName) + ", line " + std::to_string(formLine) + ")";
            writeOutput("; error: " + std::string(e.what()) + where + "\n");
            return false;
        }
        try {
            Value result = eval(form);
            if (last) *last = result;
            if (printResults && !isVoid(result)) {
                freshLine();
                writeOutput(printValue(result, true) + L"\n");
            }
        } catch (const LispError& e) {
            freshLine();
            writeOutput("; error: " + std::string(e.what()) + "\n");
        } catch (const std::bad_alloc&) {
            // The command boundary: whatever the form was doing when memory
            // ran out is dropped, the drawing and the session stay.
            freshLine();
            writeOutput(std::string_view("; error: out of memory\n"));
        } catch (const std::exception& e) {
            freshLine();
            writeOutput("; error: " + std::string(e.what()) + "\n");
        }
    }
}

} // namespace standin::lisp
