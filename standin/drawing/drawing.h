// The stand-in host's drawing: its layer table and its entities, each kept
// as the group list it was made from, in the order they were made.
#pragma once

#include "host_api.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

// A drawing holds millions of entities, nearly all of them vertices: their
// texts are kept in 8 bytes each. Both kinds read as a const std::wstring&.
//
// SharedText: a text many entities repeat (the type name, the layer name),
// kept once for the life of the host and pointed to.
class SharedText {
  public:
    SharedText() : text_(&kept(L"")) {}
    explicit SharedText(std::wstring_view text) : text_(&kept(text)) {}
    SharedText& operator=(std::wstring_view text) {
        text_ = &kept(text);
        return *this;
    }
    SharedText& operator=(const std::wstring& text) { return *this = std::wstring_view(text); }
    SharedText& operator=(const wchar_t* text) { return *this = std::wstring_view(text); }

    const std::wstring& str() const { return *text_; }
    operator const std::wstring&() const { return *text_; }
    operator std::wstring_view() const { return *text_; }
    const wchar_t* c_str() const { return text_->c_str(); }
    bool empty() const { return text_->empty(); }
    std::size_t size() const { return text_->size(); }

    friend bool operator==(const SharedText& a, const SharedText& b) { return a.text_ == b.text_; }
    friend bool operator==(const SharedText& a, std::wstring_view b) { return *a.text_ == b; }
    friend std::wstring operator+(const SharedText& a, std::wstring_view b) {
        return *a.text_ + std::wstring(b);
    }
    friend std::wstring operator+(const std::wstring& a, const SharedText& b) {
        return a + *b.text_;
    }

  private:
    static const std::wstring& kept(std::wstring_view text);
    const std::wstring* text_;
};

// OwnedText: a text of one group, owned; nothing allocated when empty, as
// the text of every group but a few is.
class OwnedText {
  public:
    OwnedText() = default;
    OwnedText(const OwnedText& other) { *this = other.str(); }
    OwnedText(OwnedText&&) noexcept = default;
    OwnedText& operator=(const OwnedText& other) { return *this = other.str(); }
    OwnedText& operator=(OwnedText&&) noexcept = default;
    OwnedText& operator=(std::wstring_view text) {
        if (text.empty())
            text_.reset();
        else
            text_ = std::make_unique<std::wstring>(text);
        return *this;
    }
    OwnedText& operator=(const std::wstring& text) { return *this = std::wstring_view(text); }
    OwnedText& operator=(const wchar_t* text) { return *this = std::wstring_view(text); }

    const std::wstring& str() const { return text_ ? *text_ : none(); }
    operator const std::wstring&() const { return str(); }
    operator std::wstring_view() const { return str(); }
    const wchar_t* c_str() const { return str().c_str(); }
    bool empty() const { return !text_; }
    std::size_t size() const { return str().size(); }

    friend bool operator==(const OwnedText& a, std::wstring_view b) { return a.str() == b; }
    friend std::wstring operator+(const OwnedText& a, std::wstring_view b) {
        return a.str() + std::wstring(b);
    }
    friend std::wstring operator+(const std::wstring& a, const OwnedText& b) { return a + b.str(); }

  private:
    static const std::wstring& none() {
        static const std::wstring empty;
        return empty;
    }
    std::unique_ptr<std::wstring> text_;
};

// One group of an entity: the group code and its value.
struct Group {
    short code = 0;
    OwnedText text;               // string groups
    double values[3] = {0, 0, 0}; // points; a real in values[0]
    long integer = 0;             // short and long groups
};

struct Entity {
    Adesk::LongPtr id = 0; // the entity name's first half
    SharedText type; // "POLYLINE", "VERTEX", "SEQEND", "3DFACE", "LINE", "LWPOLYLINE", "POINT"
    SharedText layer;
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
    bool inSequence = false;                         // a POLYLINE waits for its VERTEXes and SEQEND
    std::optional<Extents> zoomedView;               // set by the "zoom" "e" command
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
