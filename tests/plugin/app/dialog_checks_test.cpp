// The checks and handlers every dialog shares, on the dialogs of vog.dcl as
// the stand-in host runs them.
#include "app/dialog_checks.h"

#include "dcl/dialogs.h"
#include "host/standin.h"

#include <gtest/gtest.h>

namespace {

using vog::FieldCheck;

void setUnits(int units) {
    resbuf rb{};
    rb.restype = RTSHORT;
    rb.resval.rint = static_cast<short>(units);
    standin::setSysVar(L"LUNITS", rb);
}

class DialogChecks : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::resetHost();
        standin::addDialogFolder(standin::fromUtf8(VOG_SOURCE_DIR "/plugin/resources"));
        log().clear();
    }
    void TearDown() override { standin::resetHost(); }

  public:
    // What a handler saw after its check: the tile's value and the error tile.
    struct Seen {
        std::wstring tile, value, error;
    };
    static std::vector<Seen>& log() {
        static std::vector<Seen> entries;
        return entries;
    }
    static void note(ads_hdlg d, const wchar_t* key) {
        log().push_back({key, vog::tileText(d, key, 64), vog::tileText(d, L"error", 64)});
    }
    standin::OutputCapture output;
};

TEST_F(DialogChecks, NumericCheckFollowsTheCurrentUnits) {
    EXPECT_TRUE(vog::numericValue(L"10").has_value());
    EXPECT_TRUE(vog::numericValue(L"0.5").has_value());
    EXPECT_FALSE(vog::numericValue(L"abc").has_value());
    EXPECT_FALSE(vog::numericValue(L"").has_value());
    EXPECT_FALSE(vog::numericValue(L"1'6\"").has_value());
    setUnits(4);
    EXPECT_TRUE(vog::numericValue(L"1'6\"").has_value());
    EXPECT_EQ(vog::numericValue(L"1'6\""), 18.0);
    EXPECT_TRUE(vog::numericValue(L"10").has_value());
}

TEST_F(DialogChecks, LayerNameCheckAllowsTheSixtyFiveCharactersOnly) {
    for (const wchar_t* good :
         {L"KT_Tin", L"Road-1", L"A$B",
          L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-_0123456789$"})
        EXPECT_TRUE(vog::isLayerName(good)) << standin::toUtf8(good);
    for (const wchar_t* bad : {L"KT Tin", L"KT.Tin", L"M\u00fcll", L"a,b", L"a/b", L""})
        EXPECT_FALSE(vog::isLayerName(bad)) << standin::toUtf8(bad);
}

TEST_F(DialogChecks, EachKindOfFieldCheckHasItsMessage) {
    struct Case {
        FieldCheck kind;
        const wchar_t* text;
        const wchar_t* message; // nullptr: passes
    };
    const Case cases[] = {
        {FieldCheck::Numeric, L"-2", nullptr},
        {FieldCheck::Numeric, L"x", L"Value must be numeric."},
        {FieldCheck::PositiveNumber, L"0.1", nullptr},
        {FieldCheck::PositiveNumber, L"0", L"Value must be a positive number."},
        {FieldCheck::PositiveNumber, L"x", L"Value must be a positive number."},
        {FieldCheck::NonNegativeNumber, L"0", nullptr},
        {FieldCheck::NonNegativeNumber, L"-1", L"Value must be a nonnegative number."},
        {FieldCheck::NonNegativeNumber, L"", L"Value must be a nonnegative number."},
        {FieldCheck::PositiveSpacing, L"2", nullptr},
        {FieldCheck::PositiveSpacing, L"0", L"Value must be positive"},
        {FieldCheck::PositiveSpacing, L"x", L"Value must be numeric."},
        {FieldCheck::LayerName, L"KT_Mesh", nullptr},
        {FieldCheck::LayerName, L"", L"Value must be non-blank"},
        {FieldCheck::LayerName, L"KT Mesh", L"Value must contain A-Z,a-z,0-9,-,_,$ only"},
    };
    for (const Case& c : cases) {
        const wchar_t* got = vog::fieldComplaint(c.kind, c.text);
        SCOPED_TRACE(standin::toUtf8(c.text));
        EXPECT_STREQ(got, c.message);
    }
}

// Handlers written the way the command dialogs write them.
void onInterval(ads_callback_packet* p) {
    if (!vog::leftField(p)) return;
    vog::checkField(p->dialog, L"interval", FieldCheck::PositiveNumber, L"1");
    DialogChecks::note(p->dialog, L"interval");
}
void onWidth(ads_callback_packet* p) {
    if (!vog::leftField(p)) return;
    vog::checkField(p->dialog, L"dcw", FieldCheck::NonNegativeNumber, L"0.5");
    DialogChecks::note(p->dialog, L"dcw");
}
void onLayer(ads_callback_packet* p) {
    if (!vog::leftField(p)) return;
    vog::checkField(p->dialog, L"layer", FieldCheck::LayerName, L"KT_Regcontours",
                    vog::kLayerTileCapacity);
    DialogChecks::note(p->dialog, L"layer");
}

TEST_F(DialogChecks, FieldChecksRestoreTheStoredValueAndShowTheVerdictOnTheLastField) {
    standin::queueDialogAnswer(L"contours", {{{L"interval", L"0"},
                                              {L"dcw", L"0"},
                                              {L"layer", L"KT Tin"},
                                              {L"layer", L""},
                                              {L"interval", L"2.5"}},
                                             L"cancel"});
    bool accepted = true;
    bool shown = vog::showDialog(
        L"contours",
        [](ads_hdlg d) {
            vog::setTileText(d, L"interval", L"1");
            vog::setTileText(d, L"dcw", L"0.5");
            vog::setTileText(d, L"layer", L"KT_Regcontours");
            ads_action_tile(d, L"interval", onInterval);
            ads_action_tile(d, L"dcw", onWidth);
            ads_action_tile(d, L"layer", onLayer);
        },
        accepted);
    EXPECT_FALSE(shown);
    EXPECT_FALSE(accepted) << "cleared before the dialog starts";
    ASSERT_EQ(log().size(), 5u);
    EXPECT_EQ(log()[0].value, L"1");
    EXPECT_EQ(log()[0].error, L"Value must be a positive number.");
    EXPECT_EQ(log()[1].value, L"0") << "a width of 0 passes";
    EXPECT_EQ(log()[1].error, L"");
    EXPECT_EQ(log()[2].value, L"KT_Regcontours");
    EXPECT_EQ(log()[2].error, L"Value must contain A-Z,a-z,0-9,-,_,$ only");
    EXPECT_EQ(log()[3].error, L"Value must be non-blank");
    EXPECT_EQ(log()[4].value, L"2.5");
    EXPECT_EQ(log()[4].error, L"") << "correcting a field clears the complaint";
    EXPECT_EQ(standin::loadedDialogFiles(), 0u) << "unloaded after the dialog";
}

bool volumesAccepted = false;
void onVolumeInterval(ads_callback_packet* p) {
    if (!vog::leftField(p)) return;
    vog::checkField(p->dialog, L"vol_intrvl", FieldCheck::NonNegativeNumber, L"1.0000");
}
void onGuardedAccept(ads_callback_packet* p) {
    if (vog::refuseWhileComplaint(p->dialog, volumesAccepted)) return;
    vog::closeAccepted(p->dialog, volumesAccepted);
}
void onVolumesCancel(ads_callback_packet* p) {
    vog::closeCancelled(p->dialog, volumesAccepted);
}
void setUpVolumes(ads_hdlg d) {
    ads_action_tile(d, L"vol_intrvl", onVolumeInterval);
    ads_action_tile(d, L"accept", onGuardedAccept);
    ads_action_tile(d, L"cancel", onVolumesCancel);
}

TEST_F(DialogChecks, AGuardedAcceptKeepsTheDialogOpenWhileAComplaintShows) {
    standin::queueDialogAnswer(L"volumes", {{{L"vol_intrvl", L"-1"}}, L"accept"});
    EXPECT_FALSE(vog::showDialog(L"volumes", setUpVolumes, volumesAccepted));
    EXPECT_NE(output.text().find("; dialog volumes still open after scripted answers: cancelled"),
              std::string::npos);

    standin::queueDialogAnswer(L"volumes",
                               {{{L"vol_intrvl", L"-1"}, {L"vol_intrvl", L"2"}}, L"accept"});
    EXPECT_TRUE(vog::showDialog(L"volumes", setUpVolumes, volumesAccepted));
}

void onSkirt(ads_callback_packet* p) {
    if (!vog::selectedTile(p)) return;
    vog::enableWithToggle(p->dialog, p->value, {L"dbe"});
}
void onBase(ads_callback_packet* p) {
    DialogChecks::note(p->dialog, L"dbe");
}
void setUpMesh(ads_hdlg d) {
    vog::enableWithToggle(d, L"0", {L"dbe"});
    ads_action_tile(d, L"dsk", onSkirt);
    ads_action_tile(d, L"dbe", onBase);
}

TEST_F(DialogChecks, AToggleEnablesItsDependentTilesExactlyWhenOn) {
    bool accepted = false;
    standin::queueDialogAnswer(
        L"mesh", {{{L"dbe", L"1"}, {L"dsk", L"1"}, {L"dbe", L"2"}, {L"dsk", L"0"}, {L"dbe", L"3"}},
                  L"accept"});
    vog::showDialog(L"mesh", setUpMesh, accepted);
    ASSERT_EQ(log().size(), 1u);
    EXPECT_EQ(log()[0].value, L"2");
}

TEST_F(DialogChecks, ADialogThatCannotBeShownCountsAsCancelled) {
    bool accepted = true;
    EXPECT_FALSE(vog::showDialog(L"nosuch", nullptr, accepted));
    EXPECT_FALSE(accepted);
    EXPECT_EQ(standin::loadedDialogFiles(), 0u);

    standin::resetHost(); // no folder holds vog.dcl any more
    EXPECT_FALSE(vog::showDialog(L"mesh", nullptr, accepted));
    EXPECT_NE(output.text().find("; dialog file vog.dcl not found"), std::string::npos);
}

TEST_F(DialogChecks, ExistingFileCheckOpensFilesOnly) {
    EXPECT_TRUE(
        vog::fileOpensForReading(standin::fromUtf8(VOG_SOURCE_DIR "/plugin/resources/vog.dcl")));
    EXPECT_FALSE(vog::fileOpensForReading(L"/nonexistent/site.dat"));
    EXPECT_FALSE(vog::fileOpensForReading(standin::fromUtf8(VOG_SOURCE_DIR))) << "a folder";
    EXPECT_FALSE(vog::fileOpensForReading(L""));
}

} // namespace
