// The stand-in host's LISP: values, reader, printer, evaluator, and the
// conversions between LISP values and the result-buffer lists that
// applications receive and return.
#pragma once

#include "host_api.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace standin::lisp {

struct Object;
using Value = std::shared_ptr<Object>; // nullptr is nil
class Interpreter;
using Builtin = std::function<Value(Interpreter&, std::vector<Value>& args)>;

enum class Type { T, Int, Real, Str, Sym, Cons, Ename, Pickset, Builtin, Lambda, Void };

struct Object {
    Type type = Type::Void;
    long long integer = 0;
    double real = 0;
    std::wstring text; // string, symbol name (lower case), builtin name
    Value car, cdr;    // cons; lambda: parameters and body
    Adesk::LongPtr name[2] = {0, 0};
    Builtin builtin;

    Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    // Long and deeply nested lists are released without recursion.
    ~Object();
};

// ---------------------------------------------------------------- values
Value makeInt(long long v);
Value makeReal(double v);
Value makeString(std::wstring v);
Value makeSymbol(std::wstring_view name); // names are case-insensitive
Value makeEname(const Adesk::LongPtr name[2]);
Value makePickset(const Adesk::LongPtr name[2]);
Value cons(Value car, Value cdr);
Value makeList(const std::vector<Value>& items);
Value trueValue();
Value voidValue(); // what a function without a value returns: prints nothing
bool isVoid(const Value& v);
bool isNumber(const Value& v);
double numberOf(const Value& v);
// Integers are 32-bit: a whole number beyond that range is a real, in the
// reader and in arithmetic alike.
inline bool fitsInteger(long long v) {
    return v >= -2147483647LL - 1 && v <= 2147483647LL;
}
Value makeWholeNumber(long long v); // an integer, or a real beyond the 32-bit range
// A number cut toward zero for counts and positions; huge values are held at
// +-1e15, a value that is not a number is an error.
long long truncatedNumber(const Value& v);
std::vector<Value> listItems(const Value& list); // proper part of a list

struct LispError : std::runtime_error {
    explicit LispError(const std::string& message) : std::runtime_error(message) {}
};

// ---------------------------------------------------------------- reader
class Reader {
  public:
    explicit Reader(std::wstring_view source) : src_(source) {}
    // False at the end of the source (only blanks and comments left).
    bool skipToForm();
    // The next form; throws LispError on malformed input.
    Value read();
    int line() const { return line_; }

  private:
    Value readList();
    Value readAtom();
    Value readString();
    wchar_t peek() const { return pos_ < src_.size() ? src_[pos_] : L'\0'; }
    wchar_t get();
    std::wstring_view src_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int depth_ = 0; // lists and quotes open around the current form
};

// How deep forms may nest, in reading and in evaluation; deeper input is an
// error rather than an exhausted stack.
constexpr int kMaxLispDepth = 2000;

// ---------------------------------------------------------------- printer
// prin1 form (strings quoted and escaped) or princ form (strings as they are).
std::wstring printValue(const Value& v, bool quoted = true);

// ---------------------------------------------------------------- result lists
// Arguments of an application's function: one item per argument.
resbuf* toResbufList(const std::vector<Value>& args);
// A returned list: flat items, RTLB/RTLE sublists, RTDOTE dotted pairs.
Value fromResbufList(const resbuf* list);
// One value as result-buffer items appended at *tail.
void appendResbuf(const Value& v, resbuf**& tail);

// ---------------------------------------------------------------- evaluator
class Interpreter {
  public:
    Interpreter();
    void define(std::wstring_view name, Builtin fn);
    Value eval(const Value& form);
    Value apply(const Value& fn, const std::wstring& name, std::vector<Value>& args);
    Value variable(std::wstring_view name) const;

    // Reads and evaluates every form of a source. With printResults each
    // value is printed on a line of its own (no-value results print nothing).
    // A failing form prints "; error: ..." and the next form runs. Answers
    // false when the source itself is malformed (what was read before runs);
    // for a named source (a script's path) that message names it and the line
    // where the malformed form begins.
    bool run(std::wstring_view source, bool printResults, Value* last = nullptr,
             std::wstring_view sourceName = {});

    // Hook for calls of names that are neither built in nor variables: the
    // functions that applications define. Sets result and answers true when
    // it handled the call.
    std::function<bool(const std::wstring& name, std::vector<Value>& args, Value& result)>
        externalCall;

    // Evaluation steps left before a form is stopped with an error; negative
    // (the host's setting): no limit. For running untrusted text in bounded
    // time.
    long long stepsLeft = -1;

  private:
    Value evalSpecial(const std::wstring& op, const Value& form, bool& handled);
    Value progn(const Value& body);
    std::unordered_map<std::wstring, Value> globals_;
    int depth_ = 0;
};

// ---------------------------------------------------------------- files
// Empty when path names a file the host can read without waiting; else why
// not: "is a folder", "is not a regular file" (a FIFO, a device), "does not
// exist". Reading a folder fails and opening a FIFO waits for a writer, so
// every file the host reads on a user's behalf is checked first.
std::string unreadableFileReason(const std::string& path);
// The text of a script file (UTF-8, an optional byte-order mark); false when
// it cannot be read, with the reason in why when one is given.
bool readTextFile(const std::string& path, std::wstring& text, std::string* why = nullptr);

// Adds the host functions (getvar, setvar, arxload, host-new-drawing,
// host-break, the calls of applications' functions, ...).
void installHostFunctions(Interpreter& lisp);
// The functions that answer dialogs and file dialogs (host-dialog, host-file).
void installDialogFunctions(Interpreter& lisp);
// entmake, entget, entnext, entlast, entdel, ssget, sslength, ssname, command.
void installEntityFunctions(Interpreter& lisp);
// host-pick and host-real: answers for the next entity pick and number prompt.
void installPromptFunctions(Interpreter& lisp);

} // namespace standin::lisp
