// The stand-in drawing: what acdbEntMake accepts, selection, erasing, walking,
// and the host's plan geometry.
#include "host/standin.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class DrawingTest : public ::testing::Test {
  protected:
    void SetUp() override { standin::resetHost(); }
    void TearDown() override { standin::resetHost(); }
    standin::DrawingDatabase& db() { return standin::database(); }

    int polylineHeader(const wchar_t* layer) {
        ads_point p = {1, 2, 3};
        resbuf* rb =
            acutBuildList(RTDXF0, L"POLYLINE", 8, layer, 10, p, 40, 0.5, 41, 0.5, 66, 1, 0);
        int status = acdbEntMake(rb);
        acutRelRb(rb);
        return status;
    }
    int vertex(double x, double y, double z) {
        ads_point p = {x, y, z};
        resbuf* rb = acutBuildList(RTDXF0, L"VERTEX", 10, p, 0);
        int status = acdbEntMake(rb);
        acutRelRb(rb);
        return status;
    }
    int seqend() {
        resbuf* rb = acutBuildList(RTDXF0, L"SEQEND", 0);
        int status = acdbEntMake(rb);
        acutRelRb(rb);
        return status;
    }
    int face(const wchar_t* layer, double dx) {
        ads_point a = {dx, 0, 1}, b = {dx + 1, 0, 2}, c = {dx, 1, 3};
        resbuf* rb = acutBuildList(RTDXF0, L"3DFACE", 8, layer, 10, a, 11, b, 12, c, 13, a, 0);
        int status = acdbEntMake(rb);
        acutRelRb(rb);
        return status;
    }
};

TEST_F(DrawingTest, LayerRecordsFillTheLayerTable) {
    resbuf* rb = acutBuildList(RTDXF0, L"LAYER", 6, L"CONTINUOUS", 8, L"KT_Tin", 62, 5, 0);
    EXPECT_EQ(acdbEntMake(rb), RTNORM);
    acutRelRb(rb);
    ASSERT_NE(db().findLayer(L"kt_tin"), nullptr) << "layer names ignore letter case";
    EXPECT_EQ(db().findLayer(L"KT_Tin")->colour, 5);
    EXPECT_TRUE(db().entities.empty()) << "a layer record is not an entity";
    // An entity on an unknown layer creates it with colour 7.
    EXPECT_EQ(face(L"Other", 0), RTNORM);
    EXPECT_EQ(db().findLayer(L"Other")->colour, 7);
}

TEST_F(DrawingTest, PolylineSequences) {
    EXPECT_EQ(vertex(0, 0, 0), RTERROR) << "a vertex needs a polyline";
    EXPECT_EQ(seqend(), RTERROR);
    ASSERT_EQ(polylineHeader(L"C"), RTNORM);
    EXPECT_EQ(vertex(0, 0, 3), RTNORM);
    EXPECT_EQ(vertex(1, 0, 3), RTNORM);
    EXPECT_EQ(seqend(), RTNORM);
    EXPECT_EQ(vertex(2, 0, 3), RTERROR) << "the sequence is closed";

    // An unfinished sequence stays as far as it got.
    ASSERT_EQ(polylineHeader(L"C"), RTNORM);
    EXPECT_EQ(vertex(5, 5, 3), RTNORM);
    EXPECT_EQ(face(L"F", 0), RTNORM);
    ASSERT_EQ(db().entities.size(), 7u);
    EXPECT_EQ(db().entities[5].type, L"VERTEX");
    EXPECT_EQ(db().entities[5].layer, L"0") << "vertices made without a layer";

    // Walking with entnext visits the vertices; entlast names the last main entity.
    ads_name first = {0, 0}, e;
    int count = 0;
    for (int status = acdbEntNext(first, e); status == RTNORM; status = acdbEntNext(e, e))
        ++count;
    EXPECT_EQ(count, 7);
    ads_name last;
    ASSERT_EQ(acdbEntLast(last), RTNORM);
    EXPECT_EQ(last[0], db().entities.back().id);
}

TEST_F(DrawingTest, RefusedEntities) {
    ads_point a = {0, 0, 0}, nan = {NAN, 0, 0};
    resbuf* noType = acutBuildList(8, L"L", 10, a, 0);
    EXPECT_EQ(acdbEntMake(noType), RTERROR);
    acutRelRb(noType);
    resbuf* twoCorners = acutBuildList(RTDXF0, L"3DFACE", 10, a, 11, a, 0);
    EXPECT_EQ(acdbEntMake(twoCorners), RTERROR);
    acutRelRb(twoCorners);
    resbuf* notANumber = acutBuildList(RTDXF0, L"POINT", 10, nan, 0);
    EXPECT_EQ(acdbEntMake(notANumber), RTERROR);
    acutRelRb(notANumber);
    resbuf* unknown = acutBuildList(RTDXF0, L"CIRCLE", 10, a, 40, 1.0, 0);
    EXPECT_EQ(acdbEntMake(unknown), RTERROR);
    acutRelRb(unknown);
    EXPECT_TRUE(db().entities.empty());
}

TEST_F(DrawingTest, SelectByLayerAndEraseWithSubentities) {
    face(L"KT_Tin", 0);
    face(L"KT_Tin", 2);
    face(L"Other", 4);
    polylineHeader(L"KT_Tin");
    vertex(0, 0, 0);
    seqend();

    resbuf* filter = acutBuildList(8, L"kt_tin", 0);
    ads_name set;
    ASSERT_EQ(acedSSGet(L"X", nullptr, nullptr, filter, set), RTNORM);
    acutRelRb(filter);
    Adesk::Int32 n = 0;
    ASSERT_EQ(acedSSLength(set, &n), RTNORM);
    EXPECT_EQ(n, 3) << "main entities only";
    for (Adesk::Int32 i = 0; i < n; ++i) {
        ads_name e;
        ASSERT_EQ(acedSSName(set, i, e), RTNORM);
        EXPECT_EQ(acdbEntDel(e), RTNORM);
    }
    ads_name beyond;
    EXPECT_EQ(acedSSName(set, n, beyond), RTERROR);
    EXPECT_EQ(acedSSFree(set), RTNORM);
    EXPECT_EQ(acedSSLength(set, &n), RTERROR) << "freed";

    int alive = 0;
    for (const auto& e : db().entities)
        alive += !e.erased;
    EXPECT_EQ(alive, 1) << "the polyline's vertex and end went with it";

    resbuf* none = acutBuildList(8, L"KT_Tin", 0);
    EXPECT_EQ(acedSSGet(L"X", nullptr, nullptr, none, set), RTERROR) << "nothing left to select";
    acutRelRb(none);
    resbuf* pattern = acutBuildList(8, L"O*,Z?", 0);
    EXPECT_EQ(acedSSGet(L"X", nullptr, nullptr, pattern, set), RTNORM);
    acutRelRb(pattern);
}

TEST_F(DrawingTest, ZoomExtentsIsRecordedForThePicture) {
    face(L"A", 0);
    face(L"A", 10);
    EXPECT_EQ(acedCommandS(RTSTR, L"zoom", RTSTR, L"e", RTNONE), RTNORM);
    ASSERT_TRUE(db().zoomedView.has_value());
    EXPECT_EQ(db().zoomedView->min[0], 0);
    EXPECT_EQ(db().zoomedView->max[0], 11);
    EXPECT_EQ(db().zoomedView->max[2], 3);
    EXPECT_EQ(db().commands.size(), 1u);
}

// Contour runs put millions of vertices into the drawing: an entity keeps its
// texts in 8 bytes each. Texts still read back whole, a copied group owns its
// own text, and equal names are one.
TEST_F(DrawingTest, EntitiesKeepTheirTextsCompactly) {
    static_assert(sizeof(standin::Entity) <= 56);
    static_assert(sizeof(standin::Group) <= 48);
    ASSERT_EQ(polylineHeader(L"Contours_With_A_Long_Layer_Name"), RTNORM);
    ASSERT_EQ(vertex(1, 2, 3), RTNORM);
    const standin::Entity& header = db().entities[0];
    const standin::Entity& v = db().entities[1];
    EXPECT_EQ(header.type, L"POLYLINE");
    EXPECT_EQ(header.layer, L"Contours_With_A_Long_Layer_Name");
    EXPECT_EQ(v.type + L"/" + v.layer, L"VERTEX/0");
    EXPECT_EQ(standin::SharedText(L"VERTEX"), v.type) << "one name, kept once";

    standin::Group named;
    named.code = 6;
    named.text = L"DASHED";
    standin::Group copy = named;
    named.text = L"";
    EXPECT_TRUE(named.text.empty());
    EXPECT_EQ(copy.text, L"DASHED");
    resbuf* list = standin::entityList(header);
    EXPECT_EQ(std::wstring(list->rbnext->rbnext->resval.rstring),
              L"Contours_With_A_Long_Layer_Name");
    acutRelRb(list);
}

TEST(HostGeometry, AnglesPolarAndIntersections) {
    ads_point o = {0, 0, 0}, east = {1, 0, 0}, south = {0, -1, 0};
    EXPECT_DOUBLE_EQ(acutAngle(o, east), 0);
    EXPECT_DOUBLE_EQ(acutAngle(o, south), 1.5 * M_PI) << "angles run 0 to 2 pi";
    ads_point p;
    acutPolar(o, M_PI / 2, 2, p);
    EXPECT_NEAR(p[0], 0, 1e-15);
    EXPECT_DOUBLE_EQ(p[1], 2);
    ads_point a = {0, 0, 0}, b = {2, 2, 0}, c = {0, 2, 0}, d = {2, 0, 0}, r;
    ASSERT_EQ(acdbInters(a, b, c, d, 1, r), RTNORM);
    EXPECT_DOUBLE_EQ(r[0], 1);
    EXPECT_DOUBLE_EQ(r[1], 1);
    ads_point far1 = {5, 0, 0}, far2 = {5, 1, 0};
    EXPECT_EQ(acdbInters(a, b, far1, far2, 1, r), RTERROR) << "beyond the segments";
    EXPECT_EQ(acdbInters(a, b, far1, far2, 0, r), RTNORM) << "the unbounded lines meet";
    EXPECT_DOUBLE_EQ(r[0], 5);
    ads_point par1 = {0, 1, 0}, par2 = {2, 3, 0};
    EXPECT_EQ(acdbInters(a, b, par1, par2, 0, r), RTERROR) << "parallel";
    // In space: a rising edge and the vertical through a point under it meet at
    // the edge's height there; lines that pass each other do not meet.
    ads_point e1 = {0, 0, 10}, e2 = {4, 0, 30}, x0 = {1, 0, 0}, x1 = {1, 0, 1};
    ASSERT_EQ(acdbInters(e1, e2, x0, x1, 0, r), RTNORM);
    EXPECT_DOUBLE_EQ(r[2], 15);
    ads_point y0 = {1, 1, 0}, y1 = {1, 1, 1};
    EXPECT_EQ(acdbInters(e1, e2, y0, y1, 0, r), RTERROR) << "skew";
    ads_point q = {3, 4, 12};
    EXPECT_DOUBLE_EQ(acutDistance(o, q), 13);
}

} // namespace
