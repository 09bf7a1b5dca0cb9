// The stand-in host's drawing: its layer table and its entities, each kept
// as the group list it was made from, in the order they were made.
#pragma once

#include "host/host_api.h"

#include <optional>
#include <string>
#include <vector>

namespace standin {

// One group of an entity: the group code and its value.
struct Group {
    short code = 0;
    std::wstring text;           // string groups
    double values[3] = {0, 0, 0}; // points; a real in values[0]
    long integer = 0;            // short and long groups
};

struct Entity {
    Adesk::LongPtr id = 0; // the entity name's first half
    std::wstring type;     // "POLYLINE", "VERTEX", "SEQEND", "3DFACE", "LINE", "LWPOLYLINE", "POINT"
    std::wstring layer;
    std::vector<Group> groups; // all groups but 0 (type) and 8 (layer), as given
    bool erased = false;
    bool subentity = false; // VERTEX and SEQEND of a polyline

    const Group* group(int code, int occurrence = 0) const;
    double real(int code, double fallback = 0) const;
    long integer(int code, long fallback = 0) const;
};

struct Layer {
    std::wstring name;
    int colour = 7;
    std::wstring linetype = L"CONTINUOUS";
};

struct Extents {
    double min[3] = {0, 0, 0};
    double max[3] = {0, 0, 0};
    bool empty = true;
    void add(const double p[3]);
};

struct DrawingDatabase {
    std::vector<Layer> layers{Layer{L"0", 7, L"CONTINUOUS"}};
    std::vector<Entity> entities;
    bool inSequence = false;           // a POLYLINE waits for its VERTEXes and SEQEND
    std::optional<Extents> zoomedView; // set by the "zoom" "e" command
    std::vector<std::vector<std::wstring>> commands; // every command run, with its inputs

    Layer* findLayer(const std::wstring& name);
    Layer& layer(const std::wstring& name); // created with colour 7 when missing
    Entity* find(Adesk::LongPtr id);
    // Extents of every entity not erased, in plan and height.
    Extents extents() const;
};

// The database of the current drawing.
DrawingDatabase& database();

// Makes an entity (or a layer record) from a group list, as acdbEntMake does:
// RTNORM, or RTERROR with the reason.
int makeFromGroups(DrawingDatabase& db, const std::wstring& type, std::vector<Group> groups,
                   std::wstring* reason = nullptr);

// The group list of a result-buffer list and back.
std::vector<Group> groupsOf(const resbuf* list);
resbuf* entityList(const Entity& entity);

// Drawing files.
bool writeDxf(const DrawingDatabase& db, const std::string& path, std::string& error);
bool readDxf(DrawingDatabase& db, const std::string& path, std::string& error);
bool writeSvg(const DrawingDatabase& db, const std::string& path, std::string& error);

// The RGB colour of a colour number, as "#rrggbb".
std::string colourOf(int colour);

} // namespace standin
