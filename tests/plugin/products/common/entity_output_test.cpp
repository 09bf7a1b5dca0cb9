// Entity output shared by the products: layer records, entity submission and
// the clearing of a layer before it is drawn again.
#include "products/common/entity_output.h"
#include "products/common/layer_entities.h"
#include "host/standin.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using vog::products::eraseLayerEntities;
using vog::products::makeEntity;
using vog::products::makeLayerRecord;

class EntityOutputTest : public ::testing::Test {
  protected:
    void SetUp() override { standin::resetHost(); }
    void TearDown() override { standin::resetHost(); }
    standin::DrawingDatabase& db() { return standin::database(); }

    int line(const wchar_t* layer) {
        ads_point a = {0, 0, 0}, b = {1, 1, 0};
        return makeEntity(acutBuildList(RTDXF0, L"LINE", 8, layer, 10, a, 11, b, RTNONE));
    }
    int point(const wchar_t* layer) {
        ads_point a = {2, 2, 2};
        return makeEntity(acutBuildList(RTDXF0, L"POINT", 8, layer, 10, a, RTNONE));
    }
    void polyline(const wchar_t* layer) {
        ads_point a = {0, 0, 5}, b = {3, 4, 5};
        makeEntity(acutBuildList(RTDXF0, L"POLYLINE", 8, layer, 10, a, 66, 1, RTNONE));
        makeEntity(acutBuildList(RTDXF0, L"VERTEX", 10, a, RTNONE));
        makeEntity(acutBuildList(RTDXF0, L"VERTEX", 10, b, RTNONE));
        makeEntity(acutBuildList(RTDXF0, L"SEQEND", RTNONE));
    }
    // Entities not erased on a layer, the VERTEX and SEQEND of polylines
    // included.
    std::size_t live(const std::wstring& layer) {
        std::size_t n = 0;
        for (const standin::Entity& e : db().entities)
            if (!e.erased && !e.subentity && e.layer == layer) ++n;
        return n;
    }
    std::size_t liveSubentities() {
        std::size_t n = 0;
        for (const standin::Entity& e : db().entities)
            if (!e.erased && e.subentity) ++n;
        return n;
    }
};

TEST_F(EntityOutputTest, LayerRecordsAndEntitiesReachTheDrawing) {
    EXPECT_TRUE(makeLayerRecord(L"KT_Regcontours", 3));
    EXPECT_TRUE(makeLayerRecord(L"KT_Tin", 5));
    ASSERT_NE(db().findLayer(L"KT_Regcontours"), nullptr);
    EXPECT_EQ(db().findLayer(L"KT_Regcontours")->colour, 3);
    EXPECT_EQ(db().findLayer(L"KT_Tin")->colour, 5);
    EXPECT_EQ(db().findLayer(L"KT_Tin")->linetype, L"CONTINUOUS");
    EXPECT_TRUE(db().entities.empty()) << "a layer record is no entity";

    // A record the host refuses is not reported: only an unbuilt list is.
    EXPECT_TRUE(makeLayerRecord(L"", 3));

    EXPECT_EQ(line(L"A"), RTNORM);
    EXPECT_EQ(line(L""), RTERROR) << "the host's refusal is passed on";
    EXPECT_EQ(makeEntity(nullptr), RTERROR);
    EXPECT_EQ(db().entities.size(), 1u);
}

TEST_F(EntityOutputTest, ErasingTakesEveryEntityOfTheLayerAndNothingElse) {
    line(L"KT_Tin");
    point(L"KT_Tin");
    polyline(L"KT_Tin");
    line(L"kt_tin"); // the same layer in other letters
    line(L"Other");
    polyline(L"Other");
    line(L"KT_Tin2");

    EXPECT_EQ(eraseLayerEntities(L"KT_Tin"), RTNORM);
    EXPECT_EQ(live(L"KT_Tin"), 0u);
    EXPECT_EQ(live(L"kt_tin"), 0u);
    EXPECT_EQ(live(L"Other"), 2u);
    EXPECT_EQ(live(L"KT_Tin2"), 1u);
    EXPECT_EQ(liveSubentities(), 3u) << "the vertices of the erased polyline went with it";

    // Nothing left on the layer, or a layer that was never used.
    EXPECT_EQ(eraseLayerEntities(L"KT_Tin"), RTNORM);
    EXPECT_EQ(eraseLayerEntities(L"Nowhere"), RTNORM);
    EXPECT_EQ(live(L"Other"), 2u);
}

TEST_F(EntityOutputTest, NamesThatReadAsPatternsEraseOnlyTheirOwnLayer) {
    line(L"Other");
    line(L"KT_Tin");
    line(L"*");
    line(L"K?_Tin,Other");
    eraseLayerEntities(L"*");
    eraseLayerEntities(L"K?_Tin,Other");
    EXPECT_EQ(live(L"*"), 0u);
    EXPECT_EQ(live(L"K?_Tin,Other"), 0u);
    EXPECT_EQ(live(L"Other"), 1u);
    EXPECT_EQ(live(L"KT_Tin"), 1u);
}

TEST_F(EntityOutputTest, TheSelectionIsFreedAfterErasing) {
    line(L"KT_Tin");
    line(L"Other");
    // The host numbers its selections in order: the one erasing made is the
    // one before the next selection, and the host no longer knows it.
    eraseLayerEntities(L"KT_Tin");
    ads_name next = {0, 0};
    ASSERT_EQ(acedSSGet(L"X", nullptr, nullptr, nullptr, next), RTNORM);
    ads_name erasing = {next[0] - 1, 0};
    Adesk::Int32 length = 0;
    EXPECT_EQ(acedSSLength(erasing, &length), RTERROR);
    acedSSFree(next);
}

} // namespace
