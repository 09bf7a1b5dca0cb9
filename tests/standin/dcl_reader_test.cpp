// The dialog language reader: definitions, prototypes, predefined tiles, and
// errors reported with file and line; and the plug-in's dialog file itself.
#include "dcl/dcl.h"
#include "host/standin.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

using standin::dcl::DclFile;
using standin::dcl::parseDcl;
using standin::dcl::Tile;

DclFile parsed(const std::wstring& text) {
    DclFile file;
    std::wstring error;
    EXPECT_TRUE(parseDcl(text, L"test.dcl", file, error)) << standin::toUtf8(error);
    return file;
}

std::wstring errorOf(const std::wstring& text) {
    DclFile file;
    std::wstring error;
    EXPECT_FALSE(parseDcl(text, L"test.dcl", file, error));
    return error;
}

// Every keyed tile of a dialog: key -> kind.
std::map<std::wstring, std::wstring> keyedKinds(const Tile& root) {
    std::map<std::wstring, std::wstring> kinds;
    std::function<void(const Tile&)> walk = [&](const Tile& t) {
        if (t.has(L"key")) kinds[t.attribute(L"key")] = t.kind;
        for (const Tile& c : t.children)
            walk(c);
    };
    walk(root);
    return kinds;
}

const Tile* findKey(const Tile& t, const std::wstring& key) {
    if (t.attribute(L"key") == key) return &t;
    for (const Tile& c : t.children)
        if (const Tile* found = findKey(c, key)) return found;
    return nullptr;
}

TEST(DclReader, ReadsNestedClustersAttributesAndPredefinedTiles) {
    DclFile file = parsed(LR"(// a comment
/* a block
   comment */
ask : dialog {
    label = "Ask \"me\"";
    : boxed_column {
        label = "Group";
        : edit_box { key = "name"; label = "Name:"; edit_width = 20; value = "x"; }
        : row { : toggle { key = "flag"; is_enabled = false; } }
    }
    ok_cancel;
    errtile;
}
)");
    ASSERT_EQ(file.dialogs.count(L"ask"), 1u);
    const Tile& ask = file.dialogs.at(L"ask");
    EXPECT_EQ(ask.kind, L"dialog");
    EXPECT_EQ(ask.attribute(L"label"), L"Ask \"me\"");
    EXPECT_EQ(ask.line, 4);
    ASSERT_EQ(ask.children.size(), 3u);
    EXPECT_EQ(ask.children[0].kind, L"boxed_column");

    const Tile* name = findKey(ask, L"name");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->kind, L"edit_box");
    EXPECT_EQ(name->attribute(L"edit_width"), L"20");
    EXPECT_EQ(name->attribute(L"value"), L"x");
    EXPECT_EQ(name->line, 8);
    EXPECT_EQ(findKey(ask, L"flag")->attribute(L"is_enabled"), L"false");

    auto kinds = keyedKinds(ask);
    EXPECT_EQ(kinds[L"accept"], L"button");
    EXPECT_EQ(kinds[L"cancel"], L"button");
    EXPECT_EQ(kinds[L"error"], L"text");
    EXPECT_EQ(findKey(ask, L"accept")->attribute(L"is_default"), L"true");
    EXPECT_EQ(findKey(ask, L"cancel")->attribute(L"is_cancel"), L"true");
}

TEST(DclReader, PrototypesAreCopiedAndOverriddenAndAreNotDialogs) {
    DclFile file = parsed(LR"(
num : edit_box { edit_width = 10; label = "Number"; }
buttons : column { ok_cancel; errtile; }
d : dialog {
    : num { key = "a"; }
    : num { key = "b"; label = "Other"; }
    buttons;
}
)");
    EXPECT_EQ(file.dialogs.size(), 1u);
    const Tile& d = file.dialogs.at(L"d");
    const Tile* a = findKey(d, L"a");
    const Tile* b = findKey(d, L"b");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->kind, L"edit_box");
    EXPECT_EQ(a->attribute(L"edit_width"), L"10");
    EXPECT_EQ(a->attribute(L"label"), L"Number");
    EXPECT_EQ(b->attribute(L"label"), L"Other");
    EXPECT_EQ(keyedKinds(d).count(L"error"), 1u);
}

TEST(DclReader, SyntaxErrorsNameTheFileAndLine) {
    // A missing ";" is found at the next token.
    EXPECT_EQ(errorOf(L"d : dialog {\n  label = \"x\"\n  ok_cancel;\n}\n"),
              L"test.dcl:3: expected \";\" after the value of \"label\", found \"ok_cancel\"");
    EXPECT_EQ(errorOf(L"d : dialog {\n  label = \"open\n}\n"),
              L"test.dcl:2: string is not closed on its line");
    EXPECT_EQ(errorOf(L"d : dialog {\n  : edit_bx { key = \"a\"; }\n}\n"),
              L"test.dcl:2: unknown tile kind \"edit_bx\"");
    EXPECT_EQ(errorOf(L"d : dialog {\n  ok_cancel;\n\n"),
              L"test.dcl:4: \"}\" missing for the dialog opened at line 1");
    EXPECT_EQ(errorOf(L"d : dialog { }\n/* open\n"), L"test.dcl:2: comment is not closed");
    EXPECT_EQ(errorOf(L"d : dialog {\n  key = ;\n}"),
              L"test.dcl:2: expected a value for \"key\", found \";\"");
    EXPECT_EQ(errorOf(L"d dialog { }"),
              L"test.dcl:1: expected \":\" after the name \"d\", found \"dialog\"");
    EXPECT_EQ(errorOf(L"d : dialog { # }"), L"test.dcl:1: unexpected character \"#\"");
}

TEST(DclReader, MeaningErrorsNameTheFileAndLine) {
    EXPECT_EQ(errorOf(L"d : dialog {\n : edit_box { key = \"a\"; }\n : toggle { key = \"a\"; }\n}"),
              L"test.dcl:3: the key \"a\" is used twice (first at line 2)");
    EXPECT_EQ(errorOf(L"d : dialog {\n : row {\n  : radio_button { key = \"r\"; }\n }\n}"),
              L"test.dcl:3: a radio_button must be placed in a radio_row or radio_column");
    EXPECT_EQ(errorOf(L"d : dialog {\n : button { key = \"b\";\n  : text { } }\n}"),
              L"test.dcl:3: a button cannot hold other tiles");
    EXPECT_EQ(errorOf(L"a : row { b; }\nb : row { a; }\nd : dialog { a; }"),
              L"test.dcl:2: \"a\" is built from itself");
    EXPECT_EQ(errorOf(L"d : dialog { }\nd : dialog { }"),
              L"test.dcl:2: \"d\" is defined twice (first at line 1)");
    EXPECT_EQ(errorOf(L"d : dialog {\n : dialog { }\n}"),
              L"test.dcl:2: a dialog cannot be placed inside another tile");
}

TEST(DclReader, MissingFileIsReported) {
    DclFile file;
    std::wstring error;
    EXPECT_FALSE(standin::dcl::readDclFile(L"/nonexistent/x.dcl", file, error));
    EXPECT_EQ(error, L"/nonexistent/x.dcl: cannot be read");
}

// The plug-in's dialog file holds the six dialogs with every tile the
// commands address, each of the kind its handlers expect.
TEST(DclVogFile, HoldsEveryDialogWithItsTilesAndKinds) {
    DclFile file;
    std::wstring error;
    ASSERT_TRUE(standin::dcl::readDclFile(
        standin::fromUtf8(VOG_SOURCE_DIR "/plugin/resources/vog.dcl"), file, error))
        << standin::toUtf8(error);

    const std::wstring edit = L"edit_box", toggle = L"toggle", radio = L"radio_button",
                       button = L"button";
    std::map<std::wstring, std::map<std::wstring, std::wstring>> expected = {
        {L"vogopen", {{L"point_file", edit}, {L"pfbrowse", button}}},
        {L"triangulate",
         {{L"point_file", edit},
          {L"uelev", toggle},
          {L"mine", edit},
          {L"maxe", edit},
          {L"ufaults", toggle},
          {L"dim2", radio},
          {L"dim3", radio},
          {L"fault_file", edit},
          {L"ffbrowse", button},
          {L"ubound", toggle},
          {L"bound_file", edit},
          {L"bfbrowse", button}}},
        {L"contours",
         {{L"start", edit},
          {L"end", edit},
          {L"NoRounding", radio},
          {L"SomeRounding", radio},
          {L"interval", edit},
          {L"iinterval", edit},
          {L"dcw", edit},
          {L"diw", edit},
          {L"layer", edit},
          {L"ilayer", edit}}},
        {L"mesh",
         {{L"dxi", edit}, {L"dzi", edit}, {L"dsk", toggle}, {L"dbe", edit}, {L"dmln", edit}}},
        {L"showtin", {{L"tinlayer", edit}}},
        {L"volumes",
         {{L"exist_tin", edit},
          {L"proposed_tin", edit},
          {L"esbrowse", button},
          {L"psbrowse", button},
          {L"v_u_feet", toggle},
          {L"vol_intrvl", edit},
          {L"compkt", edit}}},
    };
    EXPECT_EQ(file.dialogs.size(), expected.size());
    for (auto& [name, tiles] : expected) {
        SCOPED_TRACE(standin::toUtf8(name));
        ASSERT_EQ(file.dialogs.count(name), 1u);
        tiles[L"accept"] = button;
        tiles[L"cancel"] = button;
        tiles[L"error"] = L"text";
        auto kinds = keyedKinds(file.dialogs.at(name));
        for (const auto& [key, kind] : tiles)
            EXPECT_EQ(kinds[key], kind) << standin::toUtf8(key);
        EXPECT_FALSE(file.dialogs.at(name).attribute(L"label").empty());
    }
}

} // namespace
