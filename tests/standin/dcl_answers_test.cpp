// Answering ahead of time from LISP (host-dialog, host-file) and the host's
// file dialog.
#include "dcl/dialogs.h"
#include "host/standin.h"
#include "lisp/lisp.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<std::pair<std::wstring, std::wstring>>& entered() {
    static std::vector<std::pair<std::wstring, std::wstring>> list;
    return list;
}
void remember(ads_callback_packet* p) {
    entered().emplace_back(p->tile, p->value);
}

class DclAnswers : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::resetHost();
        standin::addDialogFolder(standin::fromUtf8(VOG_SOURCE_DIR "/plugin/resources"));
        standin::lisp::installHostFunctions(lisp);
        entered().clear();
    }
    void TearDown() override {
        standin::setInteractive(false);
        standin::resetHost();
    }

    // Runs the mesh dialog with every field remembered; its status.
    int runMesh() {
        int id = -1, status = -1;
        ads_load_dialog(L"vog.dcl", &id);
        ads_hdlg d = nullptr;
        ads_new_dialog(L"mesh", id, NULLCB, &d);
        for (const wchar_t* key : {L"dxi", L"dzi", L"dsk", L"dbe", L"dmln"})
            ads_action_tile(d, key, remember);
        ads_start_dialog(d, &status);
        ads_unload_dialog(id);
        return status;
    }

    // Asks the file dialog; the path, "<cancel>" or "<error>".
    static std::wstring ask(const wchar_t* defawlt = nullptr, const wchar_t* ext = L"dat",
                            int flags = 4) {
        resbuf* rb = acutNewRb(RTSTR);
        int result = acedGetFileD(L"Select Point File", defawlt, ext, flags, rb);
        std::wstring answer = result == RTCAN ? L"<cancel>" : result != RTNORM ? L"<error>" : L"";
        if (result == RTNORM) {
            EXPECT_EQ(rb->restype, RTSTR);
            answer = rb->resval.rstring;
        }
        acutRelRb(rb);
        return answer;
    }

    standin::lisp::Interpreter lisp;
    standin::OutputCapture output;
};

TEST_F(DclAnswers, HostDialogQueuesTileValuesAndTheClosingTile) {
    lisp.run(L"(host-dialog \"mesh\" '((\"dxi\" . \"2\") (\"dsk\" \"1\")) \"cancel\")", true);
    lisp.run(L"(host-dialog \"mesh\" nil)", true);
    EXPECT_EQ(output.text(), "") << "queueing prints nothing";
    EXPECT_EQ(standin::pendingDialogAnswers(L"mesh"), 2u);

    EXPECT_EQ(runMesh(), DLGCANCEL);
    ASSERT_EQ(entered().size(), 2u);
    EXPECT_EQ(entered()[0], std::make_pair(std::wstring(L"dxi"), std::wstring(L"2")));
    EXPECT_EQ(entered()[1], std::make_pair(std::wstring(L"dsk"), std::wstring(L"1")));
    EXPECT_EQ(runMesh(), DLGOK) << "the closing tile defaults to accept";
}

TEST_F(DclAnswers, HostDialogRefusesMalformedAnswers) {
    lisp.run(L"(host-dialog \"mesh\" '((\"dxi\" . 2)))", true);
    lisp.run(L"(host-dialog \"mesh\" \"dxi\")", true);
    lisp.run(L"(host-dialog mesh)", true);
    lisp.run(L"(host-dialog)", true);
    lisp.run(L"(host-dialog \"mesh\" nil 'accept)", true);
    std::string out = output.text();
    EXPECT_NE(out.find("; error: bad answer in host-dialog: (\"dxi\" . 2)"), std::string::npos)
        << out;
    EXPECT_NE(out.find("; error: bad argument type: listp \"dxi\" in host-dialog"),
              std::string::npos);
    EXPECT_NE(out.find("; error: bad argument type: stringp nil in host-dialog"),
              std::string::npos);
    EXPECT_NE(out.find("; error: too few arguments"), std::string::npos);
    EXPECT_NE(out.find("; error: bad argument type: stringp ACCEPT in host-dialog"),
              std::string::npos)
        << out;
    EXPECT_EQ(standin::pendingDialogAnswers(L"mesh"), 0u);
}

TEST_F(DclAnswers, HostFileAnswersFileDialogsInOrder) {
    lisp.run(L"(host-file \"/d/site.dat\") (host-file nil) (host-file \"/d/other.dat\")", true);
    EXPECT_EQ(standin::pendingFileAnswers(), 3u);
    EXPECT_EQ(ask(), L"/d/site.dat");
    EXPECT_EQ(ask(), L"<cancel>");
    EXPECT_EQ(ask(), L"/d/other.dat");
    EXPECT_EQ(ask(), L"<cancel>") << "no answer left: cancelled";

    lisp.run(L"(host-file 3)", true);
    EXPECT_NE(output.text().find("; error: bad argument type: stringp 3 in host-file"),
              std::string::npos);
}

TEST_F(DclAnswers, FileDialogCompletesTheChosenName) {
    standin::queueFileAnswer(L"/d/site");
    EXPECT_EQ(ask(), L"/d/site.dat") << "the default extension is added";
    standin::queueFileAnswer(L"/d/site.xyz");
    EXPECT_EQ(ask(), L"/d/site.xyz") << "any extension may be typed";
    standin::queueFileAnswer(L"faults.flt");
    EXPECT_EQ(ask(L"/survey/job", L"flt", 20), L"/survey/job/faults.flt")
        << "the default names a folder";
    standin::queueFileAnswer(L"faults.flt");
    EXPECT_EQ(ask(L"/survey/job/site.dat", L"flt", 4), L"/survey/job/faults.flt");
    standin::queueFileAnswer(L"");
    EXPECT_EQ(ask(), L"<cancel>");
    EXPECT_EQ(acedGetFileD(L"t", nullptr, L"dat", 4, nullptr), RTERROR);
}

TEST_F(DclAnswers, APersonTypesTheFileName) {
    standin::setInteractive(true);
    std::istringstream typed("/d/typed.dat\n\n");
    standin::setTerminalInput(&typed);
    EXPECT_EQ(ask(), L"/d/typed.dat");
    EXPECT_EQ(ask(), L"<cancel>") << "an empty line cancels";
    EXPECT_EQ(ask(), L"<cancel>") << "so does the end of the input";
    EXPECT_NE(output.text().find("Select Point File (*.dat)\nFile name, empty to cancel: "),
              std::string::npos);
}

} // namespace
