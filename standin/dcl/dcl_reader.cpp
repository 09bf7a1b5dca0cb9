// The reader of the dialog language. A file is a list of named definitions
//
//     name : kind { attribute = value; : kind { ... } reference; ... }
//
// where kind is a tile kind of the host, a predefined tile (ok_cancel,
// errtile, ...) or another name of the file, whose tile is then copied and
// its attributes overridden. Definitions whose tile is a dialog are the
// file's dialogs.
#include "dcl/dcl.h"
#include "host/standin.h"

#include <algorithm>
#include <array>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace standin::dcl {

namespace {

// Real dialogs nest a handful of clusters and hold a few hundred tiles.
constexpr int kMaxTileDepth = 100;
constexpr long kMaxTiles = 100000;

constexpr std::array<std::wstring_view, 10> kClusters = {
    L"dialog",    L"row",          L"column",          L"boxed_row",          L"boxed_column",
    L"radio_row", L"radio_column", L"boxed_radio_row", L"boxed_radio_column", L"concatenation"};

constexpr std::array<std::wstring_view, 12> kLeaves = {
    L"edit_box", L"toggle", L"radio_button", L"button",   L"text",       L"text_part",
    L"spacer",   L"image",  L"image_button", L"list_box", L"popup_list", L"slider"};

bool contains(const auto& list, std::wstring_view kind) {
    return std::find(list.begin(), list.end(), kind) != list.end();
}

bool isPrimitive(std::wstring_view kind) {
    return contains(kClusters, kind) || contains(kLeaves, kind);
}

// ---------------------------------------------------------------- tokens
enum class Tok { Ident, String, Number, Colon, Open, Close, Semicolon, Equals, End, Bad };

struct Token {
    Tok type = Tok::End;
    std::wstring text;
    int line = 1;
};

class Lexer {
  public:
    explicit Lexer(std::wstring_view src) : src_(src) {}

    // The next token; Bad carries the complaint in its text.
    Token next() {
        skipBlanks();
        Token t;
        t.line = line_;
        if (!complaint_.empty()) {
            t.type = Tok::Bad;
            t.text = complaint_;
            t.line = complaintLine_;
            return t;
        }
        if (pos_ >= src_.size()) return t;
        wchar_t c = src_[pos_];
        switch (c) {
        case L':':
            ++pos_;
            t.type = Tok::Colon;
            t.text = L":";
            return t;
        case L'{':
            ++pos_;
            t.type = Tok::Open;
            t.text = L"{";
            return t;
        case L'}':
            ++pos_;
            t.type = Tok::Close;
            t.text = L"}";
            return t;
        case L';':
            ++pos_;
            t.type = Tok::Semicolon;
            t.text = L";";
            return t;
        case L'=':
            ++pos_;
            t.type = Tok::Equals;
            t.text = L"=";
            return t;
        case L'"':
            return readString(t);
        default:
            break;
        }
        if (std::iswalpha(c) || c == L'_') {
            std::size_t start = pos_;
            while (pos_ < src_.size() && (std::iswalnum(src_[pos_]) || src_[pos_] == L'_'))
                ++pos_;
            t.type = Tok::Ident;
            t.text = src_.substr(start, pos_ - start);
            return t;
        }
        if (std::iswdigit(c) || c == L'-' || c == L'+' || c == L'.') {
            std::size_t start = pos_++;
            while (pos_ < src_.size() && (std::iswdigit(src_[pos_]) || src_[pos_] == L'.'))
                ++pos_;
            t.text = src_.substr(start, pos_ - start);
            bool digits = std::any_of(t.text.begin(), t.text.end(),
                                      [](wchar_t d) { return std::iswdigit(d); });
            t.type = digits ? Tok::Number : Tok::Bad;
            if (!digits) t.text = L"unexpected \"" + t.text + L"\"";
            return t;
        }
        t.type = Tok::Bad;
        t.text =
            L"unexpected character \"" + std::wstring(1, c < 0x20 || c == 0x7F ? L'?' : c) + L"\"";
        return t;
    }

  private:
    void skipBlanks() {
        while (pos_ < src_.size()) {
            wchar_t c = src_[pos_];
            if (c == L'\n') {
                ++line_;
                ++pos_;
            } else if (std::iswspace(c)) {
                ++pos_;
            } else if (c == L'/' && pos_ + 1 < src_.size() && src_[pos_ + 1] == L'/') {
                while (pos_ < src_.size() && src_[pos_] != L'\n')
                    ++pos_;
            } else if (c == L'/' && pos_ + 1 < src_.size() && src_[pos_ + 1] == L'*') {
                int opened = line_;
                pos_ += 2;
                while (pos_ < src_.size() &&
                       !(src_[pos_] == L'*' && pos_ + 1 < src_.size() && src_[pos_ + 1] == L'/')) {
                    if (src_[pos_] == L'\n') ++line_;
                    ++pos_;
                }
                if (pos_ >= src_.size()) {
                    complaint_ = L"comment is not closed";
                    complaintLine_ = opened;
                    return;
                }
                pos_ += 2;
            } else {
                return;
            }
        }
    }

    Token readString(Token& t) {
        ++pos_;
        std::wstring text;
        while (pos_ < src_.size() && src_[pos_] != L'"') {
            wchar_t c = src_[pos_++];
            if (c == L'\n') break;
            if (c == L'\\' && pos_ < src_.size()) {
                wchar_t e = src_[pos_++];
                switch (e) {
                case L'n':
                    text += L'\n';
                    break;
                case L't':
                    text += L'\t';
                    break;
                case L'\\':
                    text += L'\\';
                    break;
                case L'"':
                    text += L'"';
                    break;
                default:
                    text += L'\\';
                    text += e;
                    break;
                }
                continue;
            }
            text += c;
        }
        if (pos_ >= src_.size() || src_[pos_] != L'"') {
            t.type = Tok::Bad;
            t.text = L"string is not closed on its line";
            return t;
        }
        ++pos_;
        t.type = Tok::String;
        t.text = std::move(text);
        return t;
    }

    std::wstring_view src_;
    std::size_t pos_ = 0;
    int line_ = 1;
    std::wstring complaint_;
    int complaintLine_ = 0;
};

// ---------------------------------------------------------------- tiles as written
struct RawTile {
    std::wstring kind;
    int line = 0;
    std::vector<std::pair<std::wstring, std::wstring>> attributes;
    std::vector<RawTile> children;
};

struct RawDefinition {
    std::wstring name;
    int line = 0;
    RawTile tile;
};

// Thrown inside the reader only, caught by parseDcl.
struct SyntaxError {
    int line;
    std::wstring what;
};

class Parser {
  public:
    explicit Parser(std::wstring_view src) : lexer_(src) {
        advance();
        advance();
    }

    std::vector<RawDefinition> definitions() {
        std::vector<RawDefinition> defs;
        while (tok_.type != Tok::End) {
            RawDefinition def;
            def.line = tok_.line;
            def.name = expect(Tok::Ident, L"a tile name").text;
            expect(Tok::Colon, L"\":\" after the name \"" + def.name + L"\"");
            def.tile = body();
            defs.push_back(std::move(def));
        }
        return defs;
    }

  private:
    void advance() {
        tok_ = ahead_;
        ahead_ = lexer_.next();
        if (tok_.type == Tok::Bad) throw SyntaxError{tok_.line, tok_.text};
    }

    Token expect(Tok type, const std::wstring& what) {
        if (tok_.type != type)
            throw SyntaxError{tok_.line, L"expected " + what + L", found " + describe(tok_)};
        Token t = tok_;
        advance();
        return t;
    }

    static std::wstring describe(const Token& t) {
        if (t.type == Tok::End) return L"the end of the file";
        if (t.type == Tok::String) return L"a string";
        // A long or binary token is shown by its start, control characters
        // as "?".
        std::wstring text = t.text.substr(0, 40);
        for (wchar_t& c : text)
            if (c < 0x20 || c == 0x7F) c = L'?';
        return L"\"" + text + (t.text.size() > 40 ? L"...\"" : L"\"");
    }

    // kind { attribute = value; : kind {...} reference; ... }
    RawTile body() {
        if (++depth_ > kMaxTileDepth)
            throw SyntaxError{tok_.line, L"tiles are nested more than " +
                                             std::to_wstring(kMaxTileDepth) + L" deep"};
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave{depth_};
        RawTile tile;
        tile.line = tok_.line;
        tile.kind = expect(Tok::Ident, L"a tile kind").text;
        int opened = tok_.line;
        expect(Tok::Open, L"\"{\" after \"" + tile.kind + L"\"");
        for (;;) {
            if (tok_.type == Tok::Close) break;
            if (tok_.type == Tok::End)
                throw SyntaxError{tok_.line, L"\"}\" missing for the " + tile.kind +
                                                 L" opened at line " + std::to_wstring(opened)};
            if (tok_.type == Tok::Colon) {
                advance();
                tile.children.push_back(body());
                continue;
            }
            if (tok_.type != Tok::Ident)
                throw SyntaxError{tok_.line, L"expected an attribute, a tile or \"}\", found " +
                                                 describe(tok_)};
            Token name = tok_;
            if (ahead_.type == Tok::Equals) {
                advance();
                advance();
                if (tok_.type != Tok::String && tok_.type != Tok::Number && tok_.type != Tok::Ident)
                    throw SyntaxError{tok_.line, L"expected a value for \"" + name.text +
                                                     L"\", found " + describe(tok_)};
                std::wstring value = tok_.text;
                advance();
                expect(Tok::Semicolon, L"\";\" after the value of \"" + name.text + L"\"");
                tile.attributes.emplace_back(name.text, value);
            } else if (ahead_.type == Tok::Semicolon) {
                advance();
                advance();
                RawTile reference;
                reference.kind = name.text;
                reference.line = name.line;
                tile.children.push_back(std::move(reference));
            } else {
                advance();
                throw SyntaxError{tok_.line, L"expected \"=\" or \";\" after \"" + name.text +
                                                 L"\", found " + describe(tok_)};
            }
        }
        advance();
        return tile;
    }

    Lexer lexer_;
    Token tok_, ahead_;
    int depth_ = 0;
};

// ---------------------------------------------------------------- predefined tiles
Tile button(const wchar_t* key, const wchar_t* label) {
    Tile t;
    t.kind = L"button";
    t.attributes[L"key"] = key;
    t.attributes[L"label"] = label;
    t.attributes[L"width"] = L"12";
    t.attributes[L"fixed_width"] = L"true";
    return t;
}

bool predefined(std::wstring_view name, Tile& out) {
    out = Tile{};
    if (name == L"ok_cancel" || name == L"ok_only") {
        out.kind = L"row";
        out.attributes[L"fixed_width"] = L"true";
        out.attributes[L"alignment"] = L"centered";
        Tile ok = button(L"accept", L"OK");
        ok.attributes[L"is_default"] = L"true";
        if (name == L"ok_only") ok.attributes[L"is_cancel"] = L"true";
        out.children.push_back(ok);
        if (name == L"ok_cancel") {
            Tile cancel = button(L"cancel", L"Cancel");
            cancel.attributes[L"is_cancel"] = L"true";
            out.children.push_back(cancel);
        }
        return true;
    }
    if (name == L"errtile") {
        out.kind = L"text";
        out.attributes[L"key"] = L"error";
        out.attributes[L"is_error_tile"] = L"true";
        out.attributes[L"width"] = L"35";
        return true;
    }
    if (name == L"spacer_0" || name == L"spacer_1") {
        out.kind = L"spacer";
        out.attributes[L"height"] = name == L"spacer_0" ? L"0" : L"1";
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- resolving kinds
class Resolver {
  public:
    explicit Resolver(const std::vector<RawDefinition>& defs) {
        for (const RawDefinition& def : defs) {
            auto [it, added] = byName_.emplace(def.name, &def);
            if (!added)
                throw SyntaxError{def.line, L"\"" + def.name +
                                                L"\" is defined twice (first at line " +
                                                std::to_wstring(it->second->line) + L")"};
        }
    }

    Tile definition(const RawDefinition& def) {
        active_.insert(def.name);
        Tile t = resolve(def.tile);
        active_.erase(def.name);
        return t;
    }

  private:
    // Nesting counts through references too, and every tile made counts
    // against the file's budget, so that definitions that refer to one
    // another cannot build a tree too deep to walk or too large to hold.
    Tile resolve(const RawTile& raw) {
        if (++depth_ > kMaxTileDepth)
            throw SyntaxError{raw.line, L"tiles are nested more than " +
                                            std::to_wstring(kMaxTileDepth) + L" deep"};
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave{depth_};
        if (++made_ > kMaxTiles)
            throw SyntaxError{raw.line, L"the definitions expand to more than " +
                                            std::to_wstring(kMaxTiles) + L" tiles"};
        Tile t;
        if (isPrimitive(raw.kind)) {
            t.kind = raw.kind;
        } else if (predefined(raw.kind, t)) {
        } else if (auto found = byName_.find(raw.kind); found != byName_.end()) {
            if (active_.count(raw.kind))
                throw SyntaxError{raw.line, L"\"" + raw.kind + L"\" is built from itself"};
            t = definition(*found->second);
        } else {
            throw SyntaxError{raw.line, L"unknown tile kind \"" + raw.kind + L"\""};
        }
        t.line = raw.line;
        for (const auto& [name, value] : raw.attributes)
            t.attributes[name] = value;
        for (const RawTile& child : raw.children)
            t.children.push_back(resolve(child));
        return t;
    }

    std::map<std::wstring, const RawDefinition*> byName_;
    std::set<std::wstring> active_;
    int depth_ = 0;
    long made_ = 0;
};

// ---------------------------------------------------------------- checks of a dialog
void checkTile(const Tile& t, bool isRoot, bool inRadioCluster, std::map<std::wstring, int>& keys) {
    if (t.kind == L"dialog" && !isRoot)
        throw SyntaxError{t.line, L"a dialog cannot be placed inside another tile"};
    if (!isCluster(t.kind) && !t.children.empty())
        throw SyntaxError{t.children.front().line, L"a " + t.kind + L" cannot hold other tiles"};
    if (t.kind == L"radio_button" && !inRadioCluster)
        throw SyntaxError{t.line, L"a radio_button must be placed in a radio_row or radio_column"};
    if (t.has(L"key")) {
        std::wstring key = t.attribute(L"key");
        auto [it, added] = keys.emplace(key, t.line);
        if (!added)
            throw SyntaxError{t.line, L"the key \"" + key + L"\" is used twice (first at line " +
                                          std::to_wstring(it->second) + L")"};
    }
    bool radio = isRadioCluster(t.kind) || (inRadioCluster && !isCluster(t.kind));
    for (const Tile& child : t.children)
        checkTile(child, false, radio, keys);
}

} // namespace

std::wstring Tile::attribute(const std::wstring& name, const std::wstring& fallback) const {
    auto found = attributes.find(name);
    return found == attributes.end() ? fallback : found->second;
}

bool isCluster(std::wstring_view kind) {
    return contains(kClusters, kind);
}

bool isRadioCluster(std::wstring_view kind) {
    return kind == L"radio_row" || kind == L"radio_column" || kind == L"boxed_radio_row" ||
           kind == L"boxed_radio_column";
}

bool isButton(std::wstring_view kind) {
    return kind == L"button" || kind == L"image_button";
}

bool parseDcl(std::wstring_view text, const std::wstring& fileName, DclFile& out,
              std::wstring& error) {
    out = DclFile{};
    out.path = fileName;
    try {
        Parser parser(text);
        std::vector<RawDefinition> defs = parser.definitions();
        Resolver resolver(defs);
        for (const RawDefinition& def : defs) {
            Tile tile = resolver.definition(def);
            if (tile.kind != L"dialog") continue;
            std::map<std::wstring, int> keys;
            checkTile(tile, true, false, keys);
            out.dialogs.emplace(def.name, std::move(tile));
        }
    } catch (const SyntaxError& e) {
        // Names taken from a hostile file can be any length: the message
        // keeps to a line.
        std::wstring what = e.what.size() > 200 ? e.what.substr(0, 200) + L"..." : e.what;
        error = fileName + L":" + std::to_wstring(e.line) + L": " + what;
        out.dialogs.clear();
        return false;
    }
    return true;
}

bool readDclFile(const std::wstring& path, DclFile& out, std::wstring& error) {
    // A folder cannot be read and a FIFO would wait for a writer.
    std::error_code ec;
    if (std::filesystem::exists(toUtf8(path), ec) &&
        !std::filesystem::is_regular_file(toUtf8(path), ec)) {
        error = path + L": is not a file";
        return false;
    }
    std::ifstream in(toUtf8(path), std::ios::binary);
    if (!in) {
        error = path + L": cannot be read";
        return false;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    // Lines may end with CR LF or a lone CR too; the reader counts line feeds.
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r')
            text += bytes[i];
        else if (i + 1 == bytes.size() || bytes[i + 1] != '\n')
            text += '\n';
    }
    return parseDcl(fromUtf8(text), path, out, error);
}

} // namespace standin::dcl
