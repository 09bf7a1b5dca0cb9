// A dialog drawn in the terminal and answered by a person: the title, each
// tile with its value (disabled tiles marked), the error tile, then a prompt
// for TILE=VALUE, a button key, ok or cancel.
#include "dcl/dcl_instance.h"
#include "dcl/dialogs.h"
#include "host/line_input.h"
#include "host/standin.h"

#include <string>

namespace standin::dialog {

namespace {

std::wstring trim(const std::wstring& text) {
    std::size_t start = text.find_first_not_of(L" \t\r\n");
    if (start == std::wstring::npos) return L"";
    std::size_t end = text.find_last_not_of(L" \t\r\n");
    return text.substr(start, end - start + 1);
}

std::wstring labelOf(const dcl::Tile& tile) {
    return tile.attribute(L"label");
}

void drawTile(Instance& d, const dcl::Tile& tile, int depth, std::wstring& out) {
    std::wstring indent(static_cast<std::size_t>(depth) * 2, L' ');
    const TileState* s = tile.has(L"key") ? d.find(tile.attribute(L"key")) : nullptr;
    std::wstring mark = s && !s->enabled ? L"  (disabled)" : L"";
    std::wstring key = s ? L"[" + s->key + L"]" : L"";
    std::wstring label = labelOf(tile);

    if (dcl::isCluster(tile.kind)) {
        int inner = depth;
        if (!label.empty() && tile.kind != L"dialog") {
            out += indent + L"-- " + label + L" --" + mark + L"\n";
            ++inner;
        }
        for (const dcl::Tile& child : tile.children)
            drawTile(d, child, inner, out);
        return;
    }
    if (tile.kind == L"spacer") return;
    if (tile.kind == L"edit_box")
        out += indent + label + (label.empty() ? L"" : L" ") + key + L": " + (s ? s->value : L"") +
               mark + L"\n";
    else if (tile.kind == L"toggle")
        out += indent + (s && s->value == L"1" ? L"[x] " : L"[ ] ") + label + L" " + key + mark +
               L"\n";
    else if (tile.kind == L"radio_button")
        out += indent + (s && s->value == L"1" ? L"(*) " : L"( ) ") + label + L" " + key + mark +
               L"\n";
    else if (dcl::isButton(tile.kind))
        out += indent + L"<" + label + L"> " + key + mark + L"\n";
    else if (tile.kind == L"text" && s && s->key == L"error")
        out += indent + L"error: " + s->value + L"\n";
    else if (tile.kind == L"text" && s)
        out += indent + s->value + L"\n";
    else if (!label.empty() || s)
        out += indent + label + (s ? L" " + key + L": " + s->value : L"") + mark + L"\n";
}

void draw(Instance& d) {
    std::wstring title = labelOf(*d.root);
    std::wstring out = L"=== " + (title.empty() ? d.name : title) + L" ===\n";
    drawTile(d, *d.root, 1, out);
    freshLine();
    writeOutput(out);
}

} // namespace

void answerAtTerminal(Instance& d) {
    while (!d.done) {
        draw(d);
        std::optional<std::string> line = readLine(L"TILE=VALUE, a button key, ok or cancel: ");
        if (!line) {
            std::wstring complaint;
            if (d.find(L"cancel")) press(d, L"cancel", complaint);
            return;
        }
        std::wstring typed = fromUtf8(*line);
        std::wstring complaint;
        std::size_t equals = typed.find(L'=');
        bool ok;
        if (equals != std::wstring::npos) {
            ok = enterValue(d, trim(typed.substr(0, equals)), typed.substr(equals + 1), complaint);
        } else {
            std::wstring word = trim(typed);
            if (word.empty()) continue;
            if (word == L"ok") word = L"accept";
            ok = press(d, word, complaint);
        }
        if (!ok) reportDialog(d, complaint);
    }
}

} // namespace standin::dialog
