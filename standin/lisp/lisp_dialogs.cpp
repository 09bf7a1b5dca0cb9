// The LISP functions that answer the host's dialogs ahead of time:
//
//   (host-dialog "NAME" '(("TILE" . "VALUE") ...) "accept")
//       queues the answer for the next run of dialog NAME; the last argument
//       ("accept" when left out) is the tile pressed after the values;
//   (host-file "PATH") / (host-file nil)
//       answers the next file dialog with that path, or cancels it.
#include "dcl/dialogs.h"
#include "host/standin.h"
#include "lisp/lisp.h"

namespace standin::lisp {

namespace {

const std::wstring& stringArgument(const Value& v, const char* fn) {
    if (!v || v->type != Type::Str)
        throw LispError(std::string("bad argument type: stringp ") + toUtf8(printValue(v)) +
                        " in " + fn);
    return v->text;
}

// ("TILE" . "VALUE"), or the list form ("TILE" "VALUE").
std::pair<std::wstring, std::wstring> tileValue(const Value& item) {
    auto bad = [&] {
        return LispError("bad answer in host-dialog: " + toUtf8(printValue(item)) +
                         " (expected (\"TILE\" . \"VALUE\"))");
    };
    if (!item || item->type != Type::Cons || !item->car || item->car->type != Type::Str)
        throw bad();
    Value value = item->cdr;
    if (value && value->type == Type::Cons && !value->cdr) value = value->car;
    if (!value || value->type != Type::Str) throw bad();
    return {item->car->text, value->text};
}

} // namespace

void installDialogFunctions(Interpreter& lisp) {
    lisp.define(L"host-dialog", [](Interpreter&, std::vector<Value>& a) -> Value {
        if (a.empty()) throw LispError("too few arguments");
        if (a.size() > 3) throw LispError("too many arguments");
        const std::wstring& name = stringArgument(a[0], "host-dialog");
        DialogAnswer answer;
        if (a.size() >= 2) {
            if (a[1] && a[1]->type != Type::Cons)
                throw LispError("bad argument type: listp " + toUtf8(printValue(a[1])) +
                                " in host-dialog");
            for (const Value& item : listItems(a[1]))
                answer.values.push_back(tileValue(item));
        }
        if (a.size() == 3) answer.press = stringArgument(a[2], "host-dialog");
        queueDialogAnswer(name, std::move(answer));
        return voidValue();
    });
    lisp.define(L"host-file", [](Interpreter&, std::vector<Value>& a) -> Value {
        if (a.empty()) throw LispError("too few arguments");
        if (a.size() > 1) throw LispError("too many arguments");
        if (!a[0])
            queueFileAnswer(std::nullopt);
        else
            queueFileAnswer(stringArgument(a[0], "host-file"));
        return voidValue();
    });
}

} // namespace standin::lisp
