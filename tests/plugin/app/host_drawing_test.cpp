// The products' drawing in the host: layer records, the entities with their
// groups, and the clearing of a layer before it is drawn again.
#include "app/host_drawing.h"
#include "host/standin.h"
#include "host_api.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using vog::products::Made;
using vog::products::PolylineKind;

vog::products::Drawing& drawing() {
    return vog::app::hostDrawing();
}

int makeEntity(resbuf* list) {
    const int result = acdbEntMake(list);
    acutRelRb(list);
    return result;
}

// The group codes of an entity in the order given, its type and layer left
// out.
std::vector<short> codes(const standin::Entity& entity) {
    std::vector<short> out;
    for (const standin::Group& group : entity.groups)
        out.push_back(group.code);
    return out;
}

void eraseLayerEntities(const std::wstring& layer) {
    drawing().eraseLayer(layer);
}

class HostDrawingTest : public ::testing::Test {
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
        const vog::surface::Point3 a = {0, 0, 5}, b = {3, 4, 5};
        EXPECT_EQ(drawing().polyline(PolylineKind::space, layer, a, 0), Made::made);
        EXPECT_EQ(drawing().vertex(PolylineKind::space, a), Made::made);
        EXPECT_EQ(drawing().vertex(PolylineKind::space, b), Made::made);
        EXPECT_EQ(drawing().polylineEnd(), Made::made);
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

TEST_F(HostDrawingTest, LayerRecordsAndEntitiesReachTheDrawing) {
    EXPECT_EQ(drawing().layer(L"KT_Regcontours", 3), Made::made);
    EXPECT_EQ(drawing().layer(L"KT_Tin", 5), Made::made);
    ASSERT_NE(db().findLayer(L"KT_Regcontours"), nullptr);
    EXPECT_EQ(db().findLayer(L"KT_Regcontours")->colour, 3);
    EXPECT_EQ(db().findLayer(L"KT_Tin")->colour, 5);
    EXPECT_EQ(db().findLayer(L"KT_Tin")->linetype, L"CONTINUOUS");
    EXPECT_TRUE(db().entities.empty()) << "a layer record is no entity";

    // A record the host refuses is not reported: only an unbuilt list is.
    EXPECT_EQ(drawing().layer(L"", 3), Made::made);

    const vog::surface::Point3 a = {0, 0, 1}, b = {1, 0, 2}, c = {0, 1, 3};
    EXPECT_EQ(drawing().face(L"A", a, b, c), Made::made);
    EXPECT_EQ(drawing().face(L"", a, b, c), Made::refused) << "the host's refusal is passed on";
    ASSERT_EQ(db().entities.size(), 1u);
    const standin::Entity& face = db().entities[0];
    EXPECT_EQ(face.layer, L"A");
    EXPECT_EQ(codes(face), (std::vector<short>{10, 11, 12, 13}));
    EXPECT_EQ(face.group(13)->values[2], 1) << "the fourth corner repeats the first";

    // The groups of the two kinds of polyline and their vertices.
    EXPECT_EQ(drawing().polyline(PolylineKind::flat, L"C", a, 0.25), Made::made);
    EXPECT_EQ(drawing().vertex(PolylineKind::flat, b), Made::made);
    EXPECT_EQ(drawing().polylineEnd(), Made::made);
    polyline(L"M");
    ASSERT_EQ(db().entities.size(), 8u);
    EXPECT_EQ(codes(db().entities[1]), (std::vector<short>{10, 40, 41, 66}));
    EXPECT_EQ(db().entities[1].real(41), 0.25);
    EXPECT_EQ(codes(db().entities[2]), std::vector<short>{10});
    EXPECT_TRUE(codes(db().entities[3]).empty());
    EXPECT_EQ(codes(db().entities[4]), (std::vector<short>{10, 66, 70}));
    EXPECT_EQ(db().entities[4].integer(70), 8);
    EXPECT_EQ(codes(db().entities[5]), (std::vector<short>{10, 70}));
    EXPECT_EQ(db().entities[5].integer(70), 32);

    standin::OutputCapture capture;
    drawing().reportFailure(L"VOG: Unable to start contour\n");
    EXPECT_EQ(capture.text(), "VOG: Unable to start contour\n");
}

TEST_F(HostDrawingTest, ErasingTakesEveryEntityOfTheLayerAndNothingElse) {
    line(L"KT_Tin");
    point(L"KT_Tin");
    polyline(L"KT_Tin");
    line(L"kt_tin"); // the same layer in other letters
    line(L"Other");
    polyline(L"Other");
    line(L"KT_Tin2");

    eraseLayerEntities(L"KT_Tin");
    EXPECT_EQ(live(L"KT_Tin"), 0u);
    EXPECT_EQ(live(L"kt_tin"), 0u);
    EXPECT_EQ(live(L"Other"), 2u);
    EXPECT_EQ(live(L"KT_Tin2"), 1u);
    EXPECT_EQ(liveSubentities(), 3u) << "the vertices of the erased polyline went with it";

    // Nothing left on the layer, or a layer that was never used.
    eraseLayerEntities(L"KT_Tin");
    eraseLayerEntities(L"Nowhere");
    EXPECT_EQ(live(L"Other"), 2u);
}

TEST_F(HostDrawingTest, NamesThatReadAsPatternsEraseOnlyTheirOwnLayer) {
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

TEST_F(HostDrawingTest, TheSelectionIsFreedAfterErasing) {
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
