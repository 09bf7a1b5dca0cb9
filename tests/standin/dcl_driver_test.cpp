// The host's dialog functions run on the plug-in's dialog file: loading,
// tiles, modes, actions and their packets, and the three ways a dialog is
// answered (a queued answer, a person at the terminal, its initial values).
#include "dcl/dialogs.h"
#include "host/standin.h"
#include "support/run_host.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct Call {
    std::wstring tile, value;
    int reason;
    ads_hdlg dialog;
};

std::vector<Call>& calls() {
    static std::vector<Call> list;
    return list;
}

void record(ads_callback_packet* p) {
    calls().push_back({p->tile, p->value, p->reason, p->dialog});
}
void recordAndAccept(ads_callback_packet* p) {
    record(p);
    ads_done_dialog(p->dialog, DLGOK);
}
void recordAndCancel(ads_callback_packet* p) {
    record(p);
    ads_done_dialog(p->dialog, DLGCANCEL);
}
void enableBaseElevation(ads_callback_packet* p) {
    record(p);
    ads_mode_tile(p->dialog, L"dbe", std::wstring(p->value) == L"1" ? MODE_ENABLE : MODE_DISABLE);
}

std::wstring tile(ads_hdlg d, const wchar_t* key, int room = 64) {
    std::vector<ACHAR> buffer(static_cast<std::size_t>(room), L'?');
    if (ads_get_tile(d, key, buffer.data(), room) != RTNORM) return L"<none>";
    return buffer.data();
}

// Values seen by the accept handler of the contours dialog.
std::wstring seenNoRounding, seenSomeRounding;
void readRoundingAndAccept(ads_callback_packet* p) {
    seenNoRounding = tile(p->dialog, L"NoRounding");
    seenSomeRounding = tile(p->dialog, L"SomeRounding");
    ads_done_dialog(p->dialog, DLGOK);
}

AcRx::AppRetCode quietEntry(AcRx::AppMsgCode, void*) {
    return AcRx::kRetOK;
}

class DclDriver : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::resetHost();
        standin::addDialogFolder(standin::fromUtf8(VOG_SOURCE_DIR "/plugin/resources"));
        calls().clear();
        ASSERT_EQ(ads_load_dialog(L"vog.dcl", &file), RTNORM);
    }
    void TearDown() override {
        standin::setInteractive(false);
        standin::resetHost();
    }

    ads_hdlg open(const wchar_t* name) {
        ads_hdlg d = nullptr;
        EXPECT_EQ(ads_new_dialog(name, file, NULLCB, &d), RTNORM);
        return d;
    }
    int run(ads_hdlg d) {
        int status = -1;
        EXPECT_EQ(ads_start_dialog(d, &status), RTNORM);
        return status;
    }

    int file = -1;
    standin::OutputCapture output;
};

TEST_F(DclDriver, LoadsFilesAndReportsMissingAndBrokenOnes) {
    EXPECT_GT(file, 0);
    int again = -1;
    EXPECT_EQ(ads_load_dialog(L"vog", &again), RTNORM) << "the extension is optional";
    EXPECT_NE(again, file);
    EXPECT_EQ(standin::loadedDialogFiles(), 2u);
    EXPECT_EQ(ads_unload_dialog(again), RTNORM);
    EXPECT_EQ(ads_unload_dialog(again), RTERROR);

    int missing = 0;
    EXPECT_EQ(ads_load_dialog(L"nosuch.dcl", &missing), RTERROR);
    EXPECT_EQ(missing, -1);
    EXPECT_NE(output.text().find("; dialog file nosuch.dcl not found\n"), std::string::npos);

    std::string folder = vogtest::freshFolder("dcl-broken");
    vogtest::writeFile(folder + "/broken.dcl", "d : dialog {\n  : edit_box { key = \"a\" }\n}\n");
    standin::addDialogFolder(standin::fromUtf8(folder));
    EXPECT_EQ(ads_load_dialog(L"broken.dcl", &missing), RTERROR);
    EXPECT_NE(output.text().find("; error in dialog file: " + folder +
                                 "/broken.dcl:2: expected \";\" after the value of \"key\""),
              std::string::npos)
        << output.text();
}

TEST_F(DclDriver, FindsTheFileBesideTheLoadedApplication) {
    std::string folder = vogtest::freshFolder("dcl-beside");
    vogtest::writeFile(folder + "/beside.dcl", "b : dialog { ok_cancel; errtile; }\n");
    int id = -1;
    EXPECT_EQ(ads_load_dialog(L"beside.dcl", &id), RTERROR);
    standin::attachApplication(quietEntry, standin::fromUtf8(folder + "/app.arx"));
    EXPECT_EQ(ads_load_dialog(L"beside.dcl", &id), RTNORM);
    ads_hdlg d = nullptr;
    EXPECT_EQ(ads_new_dialog(L"b", id, NULLCB, &d), RTNORM);
    EXPECT_EQ(run(d), DLGOK) << "OK without an action closes with status 1";
}

TEST_F(DclDriver, UnknownDialogsAndTilesAreRefused) {
    ads_hdlg d = reinterpret_cast<ads_hdlg>(1);
    EXPECT_EQ(ads_new_dialog(L"nosuch", file, NULLCB, &d), RTERROR);
    EXPECT_EQ(d, nullptr);
    EXPECT_NE(output.text().find("; dialog nosuch is not defined in "), std::string::npos);
    EXPECT_EQ(ads_new_dialog(L"mesh", file + 100, NULLCB, &d), RTERROR);

    d = open(L"mesh");
    EXPECT_EQ(ads_set_tile(d, L"nosuch", L"1"), RTERROR);
    EXPECT_EQ(tile(d, L"nosuch"), L"<none>");
    EXPECT_EQ(ads_mode_tile(d, L"nosuch", MODE_DISABLE), RTERROR);
    EXPECT_EQ(ads_action_tile(d, L"nosuch", record), RTERROR);
    EXPECT_EQ(ads_mode_tile(d, L"dxi", 9), RTERROR);
    run(d);
    EXPECT_EQ(standin::openDialogs(), 0u);
    EXPECT_EQ(ads_set_tile(d, L"dxi", L"1"), RTERROR) << "the handle ends with the dialog";
    EXPECT_EQ(ads_start_dialog(d, nullptr), RTERROR);
}

TEST_F(DclDriver, TilesHoldTheirValuesAndRadioButtonsExcludeEachOther) {
    ads_hdlg d = open(L"contours");
    EXPECT_EQ(tile(d, L"error"), L"");
    EXPECT_EQ(tile(d, L"NoRounding"), L"0");
    EXPECT_EQ(ads_set_tile(d, L"interval", L"2.5"), RTNORM);
    EXPECT_EQ(tile(d, L"interval"), L"2.5");
    EXPECT_EQ(tile(d, L"interval", 3), L"2.") << "the room includes the terminator";
    EXPECT_EQ(ads_set_tile(d, L"NoRounding", L"1"), RTNORM);
    EXPECT_EQ(ads_set_tile(d, L"SomeRounding", L"1"), RTNORM);
    EXPECT_EQ(tile(d, L"NoRounding"), L"0");
    EXPECT_EQ(tile(d, L"SomeRounding"), L"1");

    ads_hdlg v = open(L"volumes");
    EXPECT_EQ(tile(v, L"vol_intrvl"), L"1.0000") << "initial value from the file";
    ads_done_dialog(v, DLGCANCEL);
    EXPECT_EQ(run(v), DLGCANCEL);
    run(d);
}

TEST_F(DclDriver, ScriptedAnswersAreEnteredInOrderWithTheirReasons) {
    ads_hdlg d = open(L"mesh");
    for (const wchar_t* key : {L"dxi", L"dsk", L"dmln"})
        ads_action_tile(d, key, record);
    ads_action_tile(d, L"accept", recordAndAccept);
    standin::queueDialogAnswer(
        L"mesh",
        {{{L"dxi", L"123456789012345678"}, {L"dsk", L"1"}, {L"dmln", L"Mesh"}}, L"accept"});
    EXPECT_EQ(run(d), DLGOK);
    ASSERT_EQ(calls().size(), 4u);
    EXPECT_EQ(calls()[0].tile, L"dxi");
    EXPECT_EQ(calls()[0].value, L"12345678901234") << "cut to the edit box's limit";
    EXPECT_EQ(calls()[0].reason, CBR_LOST_FOCUS);
    EXPECT_EQ(calls()[0].dialog, d);
    EXPECT_EQ(calls()[1].tile, L"dsk");
    EXPECT_EQ(calls()[1].reason, CBR_SELECT);
    EXPECT_EQ(calls()[2].value, L"Mesh");
    EXPECT_EQ(calls()[2].reason, CBR_LOST_FOCUS);
    EXPECT_EQ(calls()[3].tile, L"accept");
    EXPECT_EQ(calls()[3].reason, CBR_SELECT);

    // A button is pressed; the scripted value is ignored.
    calls().clear();
    d = open(L"volumes");
    ads_action_tile(d, L"esbrowse", record);
    standin::queueDialogAnswer(L"volumes", {{{L"esbrowse", L"ignored"}}, L"cancel"});
    EXPECT_EQ(run(d), DLGCANCEL);
    ASSERT_EQ(calls().size(), 1u);
    EXPECT_EQ(calls()[0].value, L"");
    EXPECT_EQ(calls()[0].reason, CBR_SELECT);
}

TEST_F(DclDriver, DisabledTilesTakeNoInputUntilEnabled) {
    ads_hdlg d = open(L"mesh");
    ads_action_tile(d, L"dsk", enableBaseElevation);
    ads_action_tile(d, L"dbe", record);
    ads_mode_tile(d, L"dbe", MODE_DISABLE);
    standin::queueDialogAnswer(L"mesh",
                               {{{L"dbe", L"5"}, {L"dsk", L"1"}, {L"dbe", L"6"}}, L"accept"});
    run(d);
    EXPECT_NE(output.text().find("; dialog mesh: tile dbe is disabled\n"), std::string::npos);
    ASSERT_EQ(calls().size(), 2u);
    EXPECT_EQ(calls()[1].tile, L"dbe");
    EXPECT_EQ(calls()[1].value, L"6");

    // The file itself may start a tile disabled.
    calls().clear();
    d = open(L"triangulate");
    ads_action_tile(d, L"point_file", record);
    standin::queueDialogAnswer(L"triangulate", {{{L"point_file", L"/x.dat"}}, L"cancel"});
    run(d);
    EXPECT_TRUE(calls().empty());
    EXPECT_NE(output.text().find("; dialog triangulate: tile point_file is disabled\n"),
              std::string::npos);
}

TEST_F(DclDriver, ADialogStillOpenAfterItsAnswersIsCancelled) {
    ads_hdlg d = open(L"vogopen");
    ads_action_tile(d, L"accept", record); // refuses to close
    ads_action_tile(d, L"cancel", recordAndCancel);
    standin::queueDialogAnswer(L"vogopen", {{}, L"accept"});
    EXPECT_EQ(run(d), DLGCANCEL);
    EXPECT_NE(output.text().find("; dialog vogopen still open after scripted answers: cancelled\n"),
              std::string::npos);
    ASSERT_EQ(calls().size(), 2u);
    EXPECT_EQ(calls()[1].tile, L"cancel");

    // Even a dialog whose cancel does not close it ends.
    d = open(L"vogopen");
    ads_action_tile(d, L"accept", record);
    ads_action_tile(d, L"cancel", record);
    standin::queueDialogAnswer(L"vogopen", {{}, L"accept"});
    EXPECT_EQ(run(d), DLGCANCEL);
}

// A field check that complains into the error tile, and an accept that
// refuses while the error tile holds a message, as the plug-in's dialogs do.
void complainAboutPath(ads_callback_packet* p) {
    record(p);
    ads_set_tile(p->dialog, L"error", L"File does not exist.\n");
}
void acceptUnlessComplaining(ads_callback_packet* p) {
    record(p);
    ACHAR error[8];
    ads_get_tile(p->dialog, L"error", error, 8);
    if (!error[0]) ads_done_dialog(p->dialog, DLGOK);
}

TEST_F(DclDriver, ADialogLeftOpenSaysWhatItsErrorTileHoldsAndWhichTilePutItThere) {
    ads_hdlg d = open(L"vogopen");
    ads_action_tile(d, L"point_file", complainAboutPath);
    ads_action_tile(d, L"accept", acceptUnlessComplaining);
    ads_action_tile(d, L"cancel", recordAndCancel);
    standin::queueDialogAnswer(L"vogopen", {{{L"point_file", L"/no/such.dat"}}, L"accept"});
    EXPECT_EQ(run(d), DLGCANCEL);
    EXPECT_NE(output.text().find("; dialog vogopen still open after scripted answers: cancelled; "
                                 "error \"File does not exist.\" from tile point_file\n"),
              std::string::npos)
        << output.text();

    // A message set before the dialog starts names no tile.
    output.clear();
    d = open(L"vogopen");
    ads_set_tile(d, L"error", L"Pick a file.");
    ads_action_tile(d, L"accept", acceptUnlessComplaining);
    EXPECT_EQ(run(d), DLGCANCEL);
    EXPECT_NE(output.text().find("; dialog vogopen still open after accepting its initial values: "
                                 "cancelled; error \"Pick a file.\"\n"),
              std::string::npos)
        << output.text();
}

TEST_F(DclDriver, WithoutAnAnswerADialogIsAcceptedWithItsInitialValues) {
    standin::queueDialogAnswer(L"mesh", {{}, L"cancel"});
    ads_hdlg d = open(L"showtin");
    ads_set_tile(d, L"tinlayer", L"KT_Tin");
    ads_action_tile(d, L"tinlayer", record);
    ads_action_tile(d, L"accept", recordAndAccept);
    EXPECT_EQ(run(d), DLGOK);
    ASSERT_EQ(calls().size(), 1u) << "no field is entered";
    EXPECT_EQ(calls()[0].tile, L"accept");
    EXPECT_EQ(standin::pendingDialogAnswers(L"mesh"), 1u) << "answers belong to their dialog";

    // A refused accept cancels the dialog, with a note.
    d = open(L"showtin");
    ads_action_tile(d, L"accept", record);
    EXPECT_EQ(run(d), DLGCANCEL);
    EXPECT_NE(output.text().find(
                  "; dialog showtin still open after accepting its initial values: cancelled"),
              std::string::npos);
}

TEST_F(DclDriver, AnswersAreUsedInTheOrderQueued) {
    standin::queueDialogAnswer(L"showtin", {{}, L"cancel"});
    standin::queueDialogAnswer(L"showtin", {{}, L"accept"});
    EXPECT_EQ(run(open(L"showtin")), DLGCANCEL);
    EXPECT_EQ(run(open(L"showtin")), DLGOK);
    EXPECT_EQ(standin::pendingDialogAnswers(L"showtin"), 0u);
}

TEST_F(DclDriver, ScriptedRadioToggleAndTextInputFollowTheTileKind) {
    ads_hdlg d = open(L"contours");
    ads_set_tile(d, L"NoRounding", L"1");
    ads_action_tile(d, L"accept", readRoundingAndAccept);
    standin::queueDialogAnswer(
        L"contours",
        {{{L"SomeRounding", L"1"}, {L"NoRounding", L"0"}, {L"error", L"x"}, {L"nosuch", L"1"}},
         L"accept"});
    run(d);
    EXPECT_EQ(seenNoRounding, L"0");
    EXPECT_EQ(seenSomeRounding, L"1");
    std::string out = output.text();
    EXPECT_NE(out.find("; dialog contours: radio button NoRounding can only be selected (\"1\")"),
              std::string::npos);
    EXPECT_NE(out.find("; dialog contours: tile error (text) takes no input"), std::string::npos);
    EXPECT_NE(out.find("; dialog contours: no tile nosuch"), std::string::npos);

    d = open(L"mesh");
    standin::queueDialogAnswer(L"mesh", {{{L"dsk", L"yes"}}, L"cancel"});
    run(d);
    EXPECT_NE(output.text().find("; dialog mesh: toggle dsk takes \"0\" or \"1\", not \"yes\""),
              std::string::npos);
}

TEST_F(DclDriver, ADialogClosedBeforeItStartsKeepsItsAnswer) {
    standin::queueDialogAnswer(L"showtin", {{}, L"cancel"});
    ads_hdlg d = open(L"showtin");
    ads_done_dialog(d, 5);
    EXPECT_EQ(run(d), 5);
    EXPECT_EQ(standin::pendingDialogAnswers(L"showtin"), 1u);
}

TEST_F(DclDriver, APersonAnswersAtTheTerminal) {
    standin::setInteractive(true);
    std::istringstream typed("tinlayer=Road-1\nnosuch\n\nok\n");
    standin::setTerminalInput(&typed);
    ads_hdlg d = open(L"showtin");
    ads_set_tile(d, L"tinlayer", L"KT_Tin");
    ads_set_tile(d, L"error", L"Value must be non-blank");
    ads_action_tile(d, L"tinlayer", record);
    ads_action_tile(d, L"accept", recordAndAccept);
    EXPECT_EQ(run(d), DLGOK);
    ASSERT_EQ(calls().size(), 2u);
    EXPECT_EQ(calls()[0].value, L"Road-1");
    EXPECT_EQ(calls()[0].reason, CBR_LOST_FOCUS);
    std::string out = output.text();
    EXPECT_NE(out.find("=== Show Triangulation ===\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Triangle layer: [tinlayer]: KT_Tin\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Triangle layer: [tinlayer]: Road-1\n"), std::string::npos) << out;
    EXPECT_NE(out.find("<OK> [accept]"), std::string::npos) << out;
    EXPECT_NE(out.find("error: Value must be non-blank\n"), std::string::npos) << out;
    EXPECT_NE(out.find("TILE=VALUE, a button key, ok or cancel: "), std::string::npos);
    EXPECT_NE(out.find("; dialog showtin: no tile nosuch"), std::string::npos);

    // Disabled tiles are marked; the end of the input cancels.
    std::istringstream nothing("");
    standin::setTerminalInput(&nothing);
    calls().clear();
    d = open(L"triangulate");
    ads_set_tile(d, L"uelev", L"1");
    ads_action_tile(d, L"cancel", recordAndCancel);
    EXPECT_EQ(run(d), DLGCANCEL);
    ASSERT_EQ(calls().size(), 1u);
    out = output.text();
    EXPECT_NE(out.find("File: [point_file]:   (disabled)"), std::string::npos) << out;
    EXPECT_NE(out.find("[x] Use only points between these elevations [uelev]"), std::string::npos);
    EXPECT_NE(out.find("(*) 3D (x, y, z) [dim3]"), std::string::npos);
}

} // namespace
