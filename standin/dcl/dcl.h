// The host's dialog language: the dialogs of a dialog file as trees of tiles,
// read from the file's text. The host's dialog functions (ads_new_dialog and
// the rest) run dialogs from these trees.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace standin::dcl {

// One tile: its kind (edit_box, toggle, row, ...), its attributes with their
// values as text (strings without their quotes and escapes), and, for
// clusters, the tiles it holds in layout order.
struct Tile {
    std::wstring kind;
    std::map<std::wstring, std::wstring> attributes;
    std::vector<Tile> children;
    int line = 0; // where the tile is written in the file

    // The attribute's value, or the fallback when it is not given.
    std::wstring attribute(const std::wstring& name, const std::wstring& fallback = L"") const;
    bool has(const std::wstring& name) const { return attributes.count(name) != 0; }
};

// The dialogs of one file, by name. Named tiles that are not dialogs serve
// as prototypes while the file is read and are not kept.
struct DclFile {
    std::wstring path;
    std::map<std::wstring, Tile> dialogs;
};

// Reads a dialog file's text. On an error answers false and leaves
// "FILE:LINE: what is wrong" in error, FILE being fileName.
bool parseDcl(std::wstring_view text, const std::wstring& fileName, DclFile& out,
              std::wstring& error);

// Reads the file at path (UTF-8, an optional byte-order mark) and parses it.
bool readDclFile(const std::wstring& path, DclFile& out, std::wstring& error);

// Tiles that hold other tiles (row, column, dialog, the radio clusters, ...).
bool isCluster(std::wstring_view kind);
// The clusters whose radio buttons exclude one another.
bool isRadioCluster(std::wstring_view kind);
// Tiles the user presses rather than fills in.
bool isButton(std::wstring_view kind);

} // namespace standin::dcl
