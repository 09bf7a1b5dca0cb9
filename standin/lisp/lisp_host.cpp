// The LISP functions of the host itself, and calls of the functions that
// applications define.
#include "host/standin.h"
#include "lisp/lisp.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>

namespace standin::lisp {

namespace {

const std::wstring& stringArgument(const std::vector<Value>& args, std::size_t i, const char* fn) {
    if (i >= args.size()) throw LispError("too few arguments");
    if (!args[i] || args[i]->type != Type::Str)
        throw LispError(std::string("bad argument type: stringp ") + toUtf8(printValue(args[i])) +
                        " in " + fn);
    return args[i]->text;
}

Value callResultValue(CallResult& result) {
    switch (result.kind) {
    case CallResult::Void:
        return voidValue();
    case CallResult::List:
        return fromResbufList(result.list);
    default:
        return nullptr;
    }
}

Value sysVarValue(const std::wstring& name) {
    resbuf* rb = sysVar(name);
    if (!rb) return nullptr;
    Value v = fromResbufList(rb);
    acutRelRb(rb);
    return v ? v->car : nullptr;
}

} // namespace

std::string unreadableFileReason(const std::string& path) {
    std::error_code ec;
    std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) return "does not exist";
    if (std::filesystem::is_directory(status)) return "is a folder";
    if (!std::filesystem::is_regular_file(status)) return "is not a regular file";
    return {};
}

bool readTextFile(const std::string& path, std::wstring& text, std::string* why) {
    std::string reason = unreadableFileReason(path);
    if (reason.empty()) {
        try {
            std::ifstream in(path, std::ios::binary);
            if (in) {
                std::string bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
                if (!in.bad()) {
                    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
                    text = fromUtf8(bytes);
                    return true;
                }
            }
            reason = "cannot be read";
        } catch (const std::bad_alloc&) {
            reason = "does not fit in memory";
        }
    }
    if (why) *why = reason;
    return false;
}

void installHostFunctions(Interpreter& lisp) {
    installDialogFunctions(lisp);
    installEntityFunctions(lisp);
    installPromptFunctions(lisp);
    lisp.externalCall = [](const std::wstring& name, std::vector<Value>& args, Value& result) {
        resbuf* list = toResbufList(args);
        CallResult call;
        bool found = callExternal(name, list, call);
        acutRelRb(list);
        if (found) result = callResultValue(call);
        return found;
    };

    lisp.define(L"getvar", [](Interpreter&, std::vector<Value>& a) {
        return sysVarValue(stringArgument(a, 0, "getvar"));
    });
    lisp.define(L"setvar", [](Interpreter&, std::vector<Value>& a) {
        const std::wstring& name = stringArgument(a, 0, "setvar");
        if (a.size() < 2) throw LispError("too few arguments");
        resbuf* rb = toResbufList({a[1]});
        if (rb->restype == RTSTR || rb->restype == RTSHORT || rb->restype == RTLONG ||
            rb->restype == RTREAL || rb->restype == RTPOINT || rb->restype == RT3DPOINT)
            setSysVar(name, *rb);
        acutRelRb(rb);
        return a[1];
    });
    lisp.define(L"arxload", [](Interpreter&, std::vector<Value>& a) -> Value {
        const std::wstring& path = stringArgument(a, 0, "arxload");
        std::string error;
        if (!loadApplication(path, error)) throw LispError("ARXLOAD failed: " + error);
        return makeString(path);
    });
    lisp.define(L"load", [](Interpreter& self, std::vector<Value>& a) -> Value {
        const std::wstring& path = stringArgument(a, 0, "load");
        std::wstring text;
        std::string why;
        if (!readTextFile(toUtf8(path), text, &why))
            throw LispError("LOAD failed: \"" + toUtf8(path) + "\" " + why);
        Value last;
        self.run(text, false, &last, path);
        return last;
    });
    lisp.define(L"host-new-drawing",
                [](Interpreter&, std::vector<Value>&) { return makeString(newDrawing().name()); });
    lisp.define(L"host-break", [](Interpreter&, std::vector<Value>& a) -> Value {
        if (a.empty() || !a[0] || a[0]->type != Type::Int)
            throw LispError("bad argument type: fixnump " +
                            toUtf8(printValue(a.empty() ? nullptr : a[0])));
        breakAfterPolls(static_cast<int>(a[0]->integer));
        return voidValue();
    });
}

} // namespace standin::lisp
