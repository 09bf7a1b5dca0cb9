// The drawing database and the host operations that make, read, select and
// delete entities.
#include "host/internal.h"
#include "host/standin.h"

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <map>
#include <unordered_set>

namespace standin {

namespace {
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::wstring_view text) const {
        return std::hash<std::wstring_view>{}(text);
    }
};
} // namespace

const std::wstring& SharedText::kept(std::wstring_view text) {
    // Type and layer names: a handful per drawing, kept while the host runs.
    static auto* texts = new std::unordered_set<std::wstring, TextHash, std::equal_to<>>;
    auto found = texts->find(text);
    if (found == texts->end()) found = texts->emplace(text).first;
    return *found;
}

namespace {

Adesk::LongPtr nextEntityId = 0x1d0000;

std::wstring upper(std::wstring_view text) {
    std::wstring out(text);
    for (auto& c : out)
        c = static_cast<wchar_t>(std::towupper(c));
    return out;
}

bool finite(const Group& g) {
    return std::isfinite(g.values[0]) && std::isfinite(g.values[1]) && std::isfinite(g.values[2]);
}

bool has(const std::vector<Group>& groups, int code) {
    return std::any_of(groups.begin(), groups.end(),
                       [&](const Group& g) { return g.code == code; });
}

// Layer-name and type-name patterns of selection filters: "*" any text,
// "?" one character, "," alternatives; compared without letter case.
bool matchesPattern(std::wstring_view pattern, std::wstring_view text) {
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = pattern.find(L',', start);
        std::wstring_view one =
            pattern.substr(start, comma == std::wstring_view::npos ? comma : comma - start);
        // iterative wildcard match
        std::size_t p = 0, t = 0, star = std::wstring_view::npos, mark = 0;
        bool ok = true;
        while (t < text.size()) {
            if (p < one.size() &&
                (one[p] == L'?' || std::towupper(one[p]) == std::towupper(text[t]))) {
                ++p;
                ++t;
            } else if (p < one.size() && one[p] == L'*') {
                star = p++;
                mark = t;
            } else if (star != std::wstring_view::npos) {
                p = star + 1;
                t = ++mark;
            } else {
                ok = false;
                break;
            }
        }
        while (ok && p < one.size() && one[p] == L'*')
            ++p;
        if (ok && p == one.size()) return true;
        if (comma == std::wstring_view::npos) return false;
        start = comma + 1;
    }
}

// As the host keeps a lightweight polyline: its own groups first, with the
// vertex count in 90 and the flags in 70, then every vertex as 10 followed by
// its widths 40 and 41 and its bulge 42 (0 when not given).
std::vector<Group> normalisedLwpolyline(const std::vector<Group>& given) {
    std::vector<Group> header, vertices;
    long count = 0;
    bool flags = false;
    for (std::size_t i = 0; i < given.size(); ++i) {
        const Group& g = given[i];
        if (g.code == 10) {
            ++count;
            Group widths[3];
            for (int k = 0; k < 3; ++k)
                widths[k].code = static_cast<short>(40 + k);
            Group vertexId;
            bool hasId = false;
            std::size_t k = i + 1;
            for (; k < given.size() && given[k].code != 10; ++k) {
                int c = given[k].code;
                if (c >= 40 && c <= 42)
                    widths[c - 40] = given[k];
                else if (c == 91) {
                    vertexId = given[k];
                    hasId = true;
                } else
                    header.push_back(given[k]);
            }
            vertices.push_back(g);
            for (const Group& w : widths)
                vertices.push_back(w);
            if (hasId) vertices.push_back(vertexId);
            i = k - 1;
        } else if (g.code == 90) {
            continue;
        } else {
            flags = flags || g.code == 70;
            header.push_back(g);
        }
    }
    Group countGroup;
    countGroup.code = 90;
    countGroup.integer = count;
    header.insert(header.begin(), countGroup);
    if (!flags) {
        Group flagGroup;
        flagGroup.code = 70;
        header.insert(header.begin() + 1, flagGroup);
    }
    header.insert(header.end(), vertices.begin(), vertices.end());
    return header;
}

struct SelectionSets {
    std::map<Adesk::LongPtr, std::vector<Adesk::LongPtr>> sets;
    Adesk::LongPtr next = 0x5e0000;
};

SelectionSets& selections() {
    static auto* s = new SelectionSets;
    return *s;
}

} // namespace

const Group* Entity::group(int code, int occurrence) const {
    for (const Group& g : groups)
        if (g.code == code && occurrence-- == 0) return &g;
    return nullptr;
}

double Entity::real(int code, double fallback) const {
    const Group* g = group(code);
    return g ? g->values[0] : fallback;
}

long Entity::integer(int code, long fallback) const {
    const Group* g = group(code);
    return g ? g->integer : fallback;
}

void Extents::add(const double p[3]) {
    for (int i = 0; i < 3; ++i) {
        if (empty || p[i] < min[i]) min[i] = p[i];
        if (empty || p[i] > max[i]) max[i] = p[i];
    }
    empty = false;
}

Layer* DrawingDatabase::findLayer(const std::wstring& name) {
    for (Layer& l : layers)
        if (upper(l.name) == upper(name)) return &l;
    return nullptr;
}

Layer& DrawingDatabase::layer(const std::wstring& name) {
    if (Layer* found = findLayer(name)) return *found;
    layers.push_back(Layer{name, 7, L"CONTINUOUS"});
    return layers.back();
}

Entity* DrawingDatabase::find(Adesk::LongPtr id) {
    auto it = std::lower_bound(entities.begin(), entities.end(), id,
                               [](const Entity& e, Adesk::LongPtr v) { return e.id < v; });
    return it != entities.end() && it->id == id ? &*it : nullptr;
}

Extents DrawingDatabase::extents() const {
    Extents box;
    for (const Entity& e : entities) {
        if (e.erased) continue;
        for (const Group& g : e.groups) {
            bool point = (g.code >= 10 && g.code <= 13);
            if (!point) continue;
            // The header of a polyline carries only its elevation.
            if (e.type == L"POLYLINE") continue;
            if (e.type == L"LWPOLYLINE") {
                double p[3] = {g.values[0], g.values[1], e.real(38)};
                box.add(p);
            } else {
                box.add(g.values);
            }
        }
    }
    return box;
}

DrawingDatabase& database() {
    return currentDrawing().db;
}

int makeFromGroups(DrawingDatabase& db, const std::wstring& rawType, std::vector<Group> groups,
                   std::wstring* reason) {
    auto refuse = [&](const std::wstring& why) {
        if (reason) *reason = why;
        return RTERROR;
    };
    std::wstring type = upper(rawType);
    std::wstring layerName = L"0";
    int colour = -1;
    std::wstring linetype;
    std::vector<Group> kept;
    for (Group& g : groups) {
        if (carried(g.code) == Carries::Point && !finite(g))
            return refuse(L"a point that is not a number");
        if (carried(g.code) == Carries::Real && !std::isfinite(g.values[0]))
            return refuse(L"a value that is not a number");
        if (g.code == 8)
            layerName = g.text;
        else if (g.code == -1 || g.code == 5)
            continue; // names and handles are the drawing's own
        else
            kept.push_back(g);
        if (g.code == 62) colour = static_cast<int>(g.integer);
        if (g.code == 6) linetype = g.text;
    }

    if (type == L"LAYER") {
        // A layer record: the name in group 8 (or 2).
        const Group* name = nullptr;
        for (const Group& g : groups)
            if (g.code == 2) name = &g;
        std::wstring layer = name ? name->text : layerName;
        if (layer.empty()) return refuse(L"a layer without a name");
        Layer& l = db.layer(layer);
        if (colour != -1) l.colour = colour;
        if (!linetype.empty()) l.linetype = linetype;
        return RTNORM;
    }
    if (layerName.empty()) return refuse(L"an empty layer name");

    Entity e;
    e.type = type;
    e.layer = layerName;
    e.groups = std::move(kept);
    if (type == L"VERTEX" || type == L"SEQEND") {
        if (!db.inSequence) return refuse(type + L" without a POLYLINE");
        e.subentity = true;
        if (type == L"VERTEX" && !has(e.groups, 10)) return refuse(L"a VERTEX without a point");
        if (type == L"SEQEND") db.inSequence = false;
    } else {
        // Anything else ends an unfinished sequence as far as it got.
        db.inSequence = false;
        if (type == L"POLYLINE")
            db.inSequence = true;
        else if (type == L"3DFACE") {
            if (!has(e.groups, 10) || !has(e.groups, 11) || !has(e.groups, 12))
                return refuse(L"a 3DFACE without three corners");
            if (!has(e.groups, 13)) {
                Group fourth = *e.group(12);
                fourth.code = 13;
                e.groups.push_back(fourth);
            }
        } else if (type == L"LINE") {
            if (!has(e.groups, 10) || !has(e.groups, 11)) return refuse(L"a LINE without two ends");
        } else if (type == L"POINT") {
            if (!has(e.groups, 10)) return refuse(L"a POINT without a location");
        } else if (type == L"LWPOLYLINE") {
            if (!has(e.groups, 10)) return refuse(L"an LWPOLYLINE without vertices");
            e.groups = normalisedLwpolyline(e.groups);
        } else {
            return refuse(L"entities of type " + type + L" are not supported");
        }
    }
    db.layer(layerName);
    e.id = ++nextEntityId;
    db.entities.push_back(std::move(e));
    return RTNORM;
}

std::vector<Group> groupsOf(const resbuf* list) {
    std::vector<Group> groups;
    for (const resbuf* rb = list; rb; rb = rb->rbnext) {
        Group g;
        g.code = rb->restype == RTDXF0 ? 0 : rb->restype;
        switch (carried(g.code)) {
        case Carries::String:
            g.text = rb->resval.rstring ? rb->resval.rstring : L"";
            break;
        case Carries::Real:
            g.values[0] = rb->resval.rreal;
            break;
        case Carries::Point:
            for (int i = 0; i < 3; ++i)
                g.values[i] = rb->resval.rpoint[i];
            break;
        case Carries::Short:
            g.integer = rb->resval.rint;
            break;
        case Carries::Long:
            g.integer = rb->resval.rlong;
            break;
        case Carries::Name:
            g.integer = static_cast<long>(rb->resval.rlname[0]);
            break;
        default:
            break;
        }
        groups.push_back(g);
    }
    return groups;
}

resbuf* entityList(const Entity& entity) {
    resbuf* head = nullptr;
    resbuf** tail = &head;
    auto add = [&](int code) {
        resbuf* rb = acutNewRb(code);
        *tail = rb;
        tail = &rb->rbnext;
        return rb;
    };
    resbuf* name = add(-1);
    name->resval.rlname[0] = entity.id;
    name->resval.rlname[1] = 0;
    add(0)->resval.rstring = duplicateString(entity.type);
    add(8)->resval.rstring = duplicateString(entity.layer);
    for (const Group& g : entity.groups) {
        resbuf* rb = add(g.code);
        switch (carried(g.code)) {
        case Carries::String:
            rb->resval.rstring = duplicateString(g.text);
            break;
        case Carries::Real:
            rb->resval.rreal = g.values[0];
            break;
        case Carries::Point:
            for (int i = 0; i < 3; ++i)
                rb->resval.rpoint[i] = g.values[i];
            break;
        case Carries::Short:
            rb->resval.rint = static_cast<short>(g.integer);
            break;
        case Carries::Long:
            rb->resval.rlong = static_cast<Adesk::Int32>(g.integer);
            break;
        default:
            break;
        }
    }
    return head;
}

void resetSelections() {
    selections().sets.clear();
}

} // namespace standin

using standin::database;

int acdbEntMake(const resbuf* entity) {
    std::vector<standin::Group> groups = standin::groupsOf(entity);
    if (groups.empty() || groups[0].code != 0) return RTERROR;
    std::wstring type = groups[0].text;
    groups.erase(groups.begin());
    return standin::makeFromGroups(database(), type, std::move(groups));
}

int acdbEntDel(const ads_name entity) {
    standin::DrawingDatabase& db = database();
    standin::Entity* e = entity ? db.find(entity[0]) : nullptr;
    if (!e || e->subentity) return RTERROR;
    // Erasing toggles, as the host's own operation does; a polyline takes its
    // vertices and end marker along.
    bool erase = !e->erased;
    std::size_t i = static_cast<std::size_t>(e - db.entities.data());
    db.entities[i].erased = erase;
    if (db.entities[i].type == L"POLYLINE")
        for (std::size_t k = i + 1; k < db.entities.size() && db.entities[k].subentity; ++k)
            db.entities[k].erased = erase;
    return RTNORM;
}

resbuf* acdbEntGet(const ads_name entity) {
    standin::Entity* e = entity ? database().find(entity[0]) : nullptr;
    if (!e || e->erased) return nullptr;
    return standin::entityList(*e);
}

int acdbEntNext(const ads_name entity, ads_name result) {
    standin::DrawingDatabase& db = database();
    std::size_t start = 0;
    if (entity && entity[0] != 0) {
        standin::Entity* e = db.find(entity[0]);
        if (!e) return RTERROR;
        start = static_cast<std::size_t>(e - db.entities.data()) + 1;
    }
    for (std::size_t i = start; i < db.entities.size(); ++i) {
        if (db.entities[i].erased) continue;
        result[0] = db.entities[i].id;
        result[1] = 0;
        return RTNORM;
    }
    return RTERROR;
}

int acdbEntLast(ads_name result) {
    standin::DrawingDatabase& db = database();
    for (auto it = db.entities.rbegin(); it != db.entities.rend(); ++it) {
        if (it->erased || it->subentity) continue;
        result[0] = it->id;
        result[1] = 0;
        return RTNORM;
    }
    return RTERROR;
}

int acedSSGet(const ACHAR* mode, const void*, const void*, const resbuf* filter,
              ads_name selection) {
    // Only the whole drawing ("X") can be selected without a person picking.
    if (!mode || std::wstring_view(mode) != L"X") return RTERROR;
    std::vector<standin::Group> tests = standin::groupsOf(filter);
    std::vector<Adesk::LongPtr> chosen;
    for (const standin::Entity& e : database().entities) {
        if (e.erased || e.subentity) continue;
        bool ok = true;
        for (const standin::Group& t : tests) {
            if (t.code == 0)
                ok = ok && standin::matchesPattern(t.text, e.type);
            else if (t.code == 8)
                ok = ok && standin::matchesPattern(t.text, e.layer);
            else if (t.code == 62)
                ok = ok && e.integer(62, 256) == t.integer;
        }
        if (ok) chosen.push_back(e.id);
    }
    if (chosen.empty()) return RTERROR;
    auto& sets = standin::selections();
    Adesk::LongPtr id = ++sets.next;
    sets.sets[id] = std::move(chosen);
    selection[0] = id;
    selection[1] = 0;
    return RTNORM;
}

int acedSSLength(const ads_name selection, Adesk::Int32* length) {
    auto& sets = standin::selections().sets;
    auto found = selection ? sets.find(selection[0]) : sets.end();
    if (found == sets.end() || !length) return RTERROR;
    *length = static_cast<Adesk::Int32>(found->second.size());
    return RTNORM;
}

int acedSSName(const ads_name selection, Adesk::Int32 index, ads_name entity) {
    auto& sets = standin::selections().sets;
    auto found = selection ? sets.find(selection[0]) : sets.end();
    if (found == sets.end() || index < 0 || static_cast<std::size_t>(index) >= found->second.size())
        return RTERROR;
    entity[0] = found->second[static_cast<std::size_t>(index)];
    entity[1] = 0;
    return RTNORM;
}

int acedSSFree(const ads_name selection) {
    auto& sets = standin::selections().sets;
    return selection && sets.erase(selection[0]) ? RTNORM : RTERROR;
}

// Host commands: "zoom" with "e" (extents) is the one the stand-in carries out;
// every command is recorded with its inputs.
int acedCommandS(int rtype, ...) {
    va_list args;
    va_start(args, rtype);
    std::vector<std::wstring> words;
    for (int type = rtype; type != 0 && type != RTNONE; type = va_arg(args, int)) {
        switch (type) {
        case RTSTR: {
            const ACHAR* s = va_arg(args, const ACHAR*);
            words.push_back(s ? s : L"");
            break;
        }
        case RTREAL:
            words.push_back(std::to_wstring(va_arg(args, double)));
            break;
        case RTSHORT:
        case RTLONG:
            words.push_back(std::to_wstring(va_arg(args, int)));
            break;
        case RTPOINT:
        case RT3DPOINT: {
            const ads_real* p = va_arg(args, const ads_real*);
            words.push_back(std::to_wstring(p[0]) + L"," + std::to_wstring(p[1]));
            break;
        }
        case RTENAME:
            (void)va_arg(args, const Adesk::LongPtr*);
            words.push_back(L"<entity>");
            break;
        default:
            va_end(args);
            return RTERROR;
        }
    }
    va_end(args);
    standin::DrawingDatabase& db = database();
    if (words.empty()) return RTERROR;
    db.commands.push_back(words);
    std::wstring name = standin::upper(words[0]);
    if (!name.empty() && name[0] == L'_') name.erase(0, 1);
    if (name == L"ZOOM" || name == L"'ZOOM") {
        if (words.size() >= 2 &&
            (standin::upper(words[1]) == L"E" || standin::upper(words[1]) == L"EXTENTS")) {
            db.zoomedView = db.extents();
            return RTNORM;
        }
        return RTERROR;
    }
    standin::freshLine();
    standin::writeOutput(L"Unknown command \"" + standin::upper(words[0]) + L"\".\n");
    return RTERROR;
}
