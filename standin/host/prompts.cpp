// Questions on the command line: picking an entity and entering a number.
// Answered by answers queued beforehand (host-pick, host-real), by a person
// at the terminal, or, with neither, as an empty reply.
#include "dcl/dialogs.h"
#include "host/internal.h"
#include "host/line_input.h"
#include "host/standin.h"
#include "lisp/lisp.h"

#include <cmath>
#include <cstdlib>
#include <deque>
#include <optional>

namespace standin {

namespace {

struct PromptAnswers {
    std::deque<std::optional<Adesk::LongPtr>> picks;
    std::deque<std::optional<double>> reals;
};

PromptAnswers& answers() {
    static auto* a = new PromptAnswers;
    return *a;
}

// A line typed at the terminal, or nullopt at the end of the input.
std::optional<std::string> askLine(const ACHAR* prompt) {
    return readLine(prompt ? prompt : L"");
}

// "last", an entity name in hexadecimal, or "<Entity name: 1d0005>".
std::optional<Adesk::LongPtr> parsePick(std::string text) {
    auto colon = text.find(':');
    if (colon != std::string::npos) text = text.substr(colon + 1);
    while (!text.empty() && (text.back() == '>' || text.back() == ' '))
        text.pop_back();
    while (!text.empty() && text.front() == ' ')
        text.erase(0, 1);
    if (text == "last" || text == "LAST" || text == "l" || text == "L") {
        ads_name last;
        if (acdbEntLast(last) == RTNORM) return last[0];
        return std::nullopt;
    }
    char* end = nullptr;
    unsigned long long id = std::strtoull(text.c_str(), &end, 16);
    if (text.empty() || *end != '\0') return std::nullopt;
    return static_cast<Adesk::LongPtr>(id);
}

} // namespace

void queuePick(std::optional<Adesk::LongPtr> entity) {
    answers().picks.push_back(entity);
}
void queueReal(std::optional<double> value) {
    answers().reals.push_back(value);
}
void resetPrompts() {
    answers().picks.clear();
    answers().reals.clear();
}

namespace lisp {

void installPromptFunctions(Interpreter& lisp) {
    lisp.define(L"host-pick", [](Interpreter&, std::vector<Value>& a) -> Value {
        if (a.empty() || !a[0])
            queuePick(std::nullopt);
        else if (a[0]->type == Type::Ename)
            queuePick(a[0]->name[0]);
        else
            throw LispError("bad argument type: lentityp " + toUtf8(printValue(a[0])));
        return voidValue();
    });
    lisp.define(L"host-real", [](Interpreter&, std::vector<Value>& a) -> Value {
        if (a.empty() || !a[0])
            queueReal(std::nullopt);
        else
            queueReal(numberOf(a[0]));
        return voidValue();
    });
}

} // namespace lisp
} // namespace standin

int acedEntSel(const ACHAR* prompt, ads_name entity, ads_point point) {
    std::optional<Adesk::LongPtr> pick;
    auto& picks = standin::answers().picks;
    if (!picks.empty()) {
        pick = picks.front();
        picks.pop_front();
    } else if (standin::isInteractive()) {
        auto line = standin::askLine(prompt);
        if (line && !line->empty()) pick = standin::parsePick(*line);
    }
    if (!pick) return RTERROR; // nothing picked
    standin::Entity* e = standin::database().find(*pick);
    if (!e || e->erased) return RTERROR;
    entity[0] = *pick;
    entity[1] = 0;
    // The picked point: the entity's first point.
    const standin::Group* at = e->group(10);
    for (int i = 0; i < 3; ++i)
        point[i] = at ? at->values[i] : 0.0;
    return RTNORM;
}

int acedGetReal(const ACHAR* prompt, ads_real* result) {
    if (!result) return RTERROR;
    auto& reals = standin::answers().reals;
    if (!reals.empty()) {
        std::optional<double> value = reals.front();
        reals.pop_front();
        if (!value) return RTNONE;
        *result = *value;
        return RTNORM;
    }
    if (!standin::isInteractive()) return RTNONE;
    for (;;) {
        auto line = standin::askLine(prompt);
        if (!line) return RTCAN;
        if (line->empty()) return RTNONE;
        ads_real value;
        if (acdbDisToF(standin::fromUtf8(*line).c_str(), -1, &value) == RTNORM) {
            *result = value;
            return RTNORM;
        }
        standin::writeOutput(std::string_view("\nRequires numeric value."));
    }
}
