// The host's LISP reader, printer and evaluator on any text.
#include "host/standin.h"
#include "lisp/lisp.h"

#include <cstdint>
#include <string>

namespace {

using standin::lisp::Interpreter;
using standin::lisp::LispError;
using standin::lisp::Value;

// The evaluator with the built-in functions only, in bounded time and
// memory: a step limit ends loops, texts and lists that grow by doubling are
// cut off, and printing goes nowhere (the printer still runs).
Interpreter& boundedInterpreter() {
    static Interpreter* lisp = [] {
        auto* l = new Interpreter;
        for (const wchar_t* name : {L"princ", L"prin1", L"print"})
            l->define(name, [](Interpreter&, std::vector<Value>& a) -> Value {
                if (a.empty()) return standin::lisp::voidValue();
                (void)standin::lisp::printValue(a[0]);
                return a[0];
            });
        l->define(L"terpri", [](Interpreter&, std::vector<Value>&) -> Value { return nullptr; });
        l->define(L"strcat", [](Interpreter&, std::vector<Value>& a) -> Value {
            std::wstring out;
            for (const Value& s : a) {
                if (!s || s->type != standin::lisp::Type::Str) throw LispError("bad argument type");
                out += s->text;
                if (out.size() > 100000) throw LispError("text too long for fuzzing");
            }
            return standin::lisp::makeString(out);
        });
        Value append = l->variable(L"append");
        l->define(L"append", [append](Interpreter& self, std::vector<Value>& a) -> Value {
            std::size_t total = 0;
            for (const Value& list : a)
                total += standin::lisp::listItems(list).size();
            if (total > 100000) throw LispError("list too long for fuzzing");
            return self.apply(append, L"append", a);
        });
        return l;
    }();
    return *lisp;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring text = standin::fromUtf8(std::string(reinterpret_cast<const char*>(data), size));
    standin::lisp::Reader reader(text);
    Interpreter& lisp = boundedInterpreter();
    try {
        while (reader.skipToForm()) {
            standin::lisp::Value form = reader.read();
            std::wstring printed = standin::lisp::printValue(form);
            // What is printed reads back as the same form.
            standin::lisp::Reader again(printed);
            if (again.skipToForm()) (void)again.read();
            // Evaluated: arithmetic that overflows, counts beyond every
            // range, deep recursion all end in a value or a LispError.
            lisp.stepsLeft = 20000;
            try {
                (void)lisp.eval(form);
            } catch (const LispError&) {
            }
        }
    } catch (const LispError&) {
    }
    return 0;
}
