#include "app/lisp_table.h"

#include "app/commands.h"
#include "project/project_commands.h"

namespace vog {

namespace {

// The wrapper contract: fetch the arguments where the table says so, run the
// body (its status is not used), set the LISP result, answer RSRSLT.

int lispKtexsec() {
    ktexsecCommand();
    acedRetVoid();
    return RSRSLT;
}

int lispContours() {
    acedGetArgs();
    contoursCommand();
    acedRetVoid();
    return RSRSLT;
}

int lispRmesh() {
    acedGetArgs();
    rmeshCommand();
    acedRetVoid();
    return RSRSLT;
}

int lispTriangulate() {
    acedGetArgs();
    triangulateCommand();
    acedRetVoid();
    return RSRSLT;
}

int lispVogopen() {
    acedGetArgs();
    project::vogopenCommand();
    acedRetVoid();
    return RSRSLT;
}

int lispVogset() {
    resbuf* args = acedGetArgs();
    // The body gets a copy of the first record, which still leads to the second.
    if (args) {
        resbuf first = *args;
        project::vogsetCommand(&first);
    } else {
        project::vogsetCommand(nullptr);
    }
    acedRetVoid();
    return RSRSLT;
}

int lispVogvar() {
    project::vogvarCommand(); // sets the result itself: the list, or nil
    return RSRSLT;
}

int lispShowtin() {
    acedGetArgs();
    showtinCommand();
    acedRetVoid();
    return RSRSLT;
}

int lispVolumes() {
    acedGetArgs();
    volumesCommand();
    acedRetVoid();
    return RSRSLT;
}

int lispLvogopen() {
    resbuf* args = acedGetArgs();
    if (args) {
        resbuf first = *args;
        project::lvogopenCommand(&first);
    } else {
        project::lvogopenCommand(nullptr);
    }
    acedRetVoid();
    return RSRSLT;
}

} // namespace

const _ADSSYMBOL_ENTRY kLispFunctions[kLispFunctionCount] = {
    {L"ktexsec", lispKtexsec, true, -1}, {L"contours", lispContours, true, -1},
    {L"rmesh", lispRmesh, true, -1},     {L"triangulate", lispTriangulate, true, -1},
    {L"vogopen", lispVogopen, true, -1}, {L"vogset", lispVogset, true, -1},
    {L"vogvar", lispVogvar, true, -1},   {L"showtin", lispShowtin, true, -1},
    {L"volumes", lispVolumes, true, -1}, {L"lvogopen", lispLvogopen, true, -1},
};

} // namespace vog
