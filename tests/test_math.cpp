// Math helpers: float conversions, the ray/triangle test and matrix text on the debugger output.
#include <windows.h>
#include <math.h>
#include <stdio.h>
#include <string>
#include <gtest/gtest.h>

#include "tarvik.h"
#include "gfx_dbwin.h"

namespace {

D3DXVECTOR3 V(float x, float y, float z)
{
    D3DXVECTOR3 v = {x, y, z};
    return v;
}

// The triangle (0, 0, 0), (1, 0, 0), (0, 1, 0) in the z = 0 plane.
struct Triangle {
    D3DXVECTOR3 c0 = V(0, 0, 0);
    D3DXVECTOR3 c1 = V(1, 0, 0);
    D3DXVECTOR3 c2 = V(0, 1, 0);

    int Hit(D3DXVECTOR3 origin, D3DXVECTOR3 direction, float* t)
    {
        return IntersectTriangle(&origin, &direction, &c0, &c1, &c2, t);
    }
};

std::string Expected(const D3DXMATRIX& m)
{
    char text[2048];
    snprintf(text, sizeof text,
             "\n| %f\t, %f\t, %f\t, %f\t|\n| %f\t, %f\t, %f\t, %f\t|\n"
             "| %f\t, %f\t, %f\t, %f\t|\n| %f\t, %f\t, %f\t, %f\t|\n",
             m.m[0][0], m.m[0][1], m.m[0][2], m.m[0][3], m.m[1][0], m.m[1][1], m.m[1][2], m.m[1][3],
             m.m[2][0], m.m[2][1], m.m[2][2], m.m[2][3], m.m[3][0], m.m[3][1], m.m[3][2], m.m[3][3]);
    return text;
}

D3DXMATRIX Filled(float first, float step)
{
    D3DXMATRIX m;
    for (int i = 0; i < 16; ++i)
        m.m[i / 4][i % 4] = first + step * static_cast<float>(i);
    return m;
}

}  // namespace

TEST(MathFloats, FToDWKeepsTheBits)
{
    EXPECT_EQ(0x3F800000ul, FToDW(1.0f));
    EXPECT_EQ(0x00000000ul, FToDW(0.0f));
    EXPECT_EQ(0x80000000ul, FToDW(-0.0f));
    EXPECT_EQ(0xC0000000ul, FToDW(-2.0f));
    EXPECT_EQ(0x38D1B717ul, FToDW(0.0001f));
    EXPECT_EQ(0x7F800000ul, FToDW(INFINITY));
}

TEST(MathFloats, FAbsLongAddsOneWhenHalfOrMoreIsCutOff)
{
    EXPECT_EQ(2, FAbsLong(2.4f));
    EXPECT_EQ(3, FAbsLong(2.5f));
    EXPECT_EQ(3, FAbsLong(2.7f));
    EXPECT_EQ(0, FAbsLong(0.49f));
    EXPECT_EQ(1, FAbsLong(0.5f));
    EXPECT_EQ(0, FAbsLong(0.0f));
    EXPECT_EQ(7, FAbsLong(7.0f));
    // Below zero the same rule holds: truncated toward zero, plus one when the part cut off is
    // half or more in size. -2.7 is -2 with 0.7 cut off, so -1.
    EXPECT_EQ(-2, FAbsLong(-2.4f));
    EXPECT_EQ(-1, FAbsLong(-2.7f));
    EXPECT_EQ(-1, FAbsLong(-2.5f));
    EXPECT_EQ(0, FAbsLong(-0.49f));
    EXPECT_EQ(1, FAbsLong(-0.5f));
    EXPECT_EQ(-7, FAbsLong(-7.0f));
}

TEST(MathFloats, FPointKeepsTheSign)
{
    EXPECT_FLOAT_EQ(0.25f, F_Point(3.25f));
    EXPECT_FLOAT_EQ(-0.25f, F_Point(-3.25f));
    EXPECT_EQ(0.0f, F_Point(5.0f));
    EXPECT_FLOAT_EQ(0.5f, F_Point(0.5f));
    EXPECT_FLOAT_EQ(-0.75f, F_Point(-100.75f));
}

TEST(MathIntersect, HitsFromEitherSideWithSignedDistance)
{
    Triangle tri;
    float t = 99;
    EXPECT_EQ(1, tri.Hit(V(0, 0, -1), V(0, 0, 1), &t));
    EXPECT_FLOAT_EQ(1.0f, t);
    t = 99;
    EXPECT_EQ(1, tri.Hit(V(0, 0, -1), V(0, 0, -1), &t));
    EXPECT_FLOAT_EQ(-1.0f, t);
    // From the other face.
    t = 99;
    EXPECT_EQ(1, tri.Hit(V(0.25f, 0.25f, 2), V(0, 0, -1), &t));
    EXPECT_FLOAT_EQ(2.0f, t);
    // Measured in lengths of the direction vector.
    t = 99;
    EXPECT_EQ(1, tri.Hit(V(0.25f, 0.25f, -3), V(0, 0, 2), &t));
    EXPECT_FLOAT_EQ(1.5f, t);
    // A slanted ray.
    t = 99;
    EXPECT_EQ(1, tri.Hit(V(0, 0, -1), V(0.25f, 0.25f, 1), &t));
    EXPECT_FLOAT_EQ(1.0f, t);
}

TEST(MathIntersect, BoundaryHitsCount)
{
    Triangle tri;
    float t = 99;
    EXPECT_EQ(1, tri.Hit(V(1, 0, -1), V(0, 0, 1), &t)) << "corner1";
    EXPECT_FLOAT_EQ(1.0f, t);
    t = 99;
    EXPECT_EQ(1, tri.Hit(V(0, 1, -1), V(0, 0, 1), &t)) << "corner2";
    EXPECT_FLOAT_EQ(1.0f, t);
    t = 99;
    EXPECT_EQ(1, tri.Hit(V(0.5f, 0.5f, -1), V(0, 0, 1), &t)) << "on the long edge, u + w = det";
    EXPECT_FLOAT_EQ(1.0f, t);
    t = 99;
    EXPECT_EQ(1, tri.Hit(V(0.5f, 0, -1), V(0, 0, 1), &t)) << "on edge1, w = 0";
    t = 99;
    EXPECT_EQ(1, tri.Hit(V(0, 0.5f, -1), V(0, 0, 1), &t)) << "on edge2, u = 0";
}

TEST(MathIntersect, MissesOutsideAndParallel)
{
    Triangle tri;
    float t = 99;
    EXPECT_EQ(0, tri.Hit(V(0, 0, -1), V(1, 0, 0), &t)) << "parallel";
    EXPECT_EQ(0, tri.Hit(V(0.5f, 0.5f, 0), V(1, 1, 0), &t)) << "parallel, in the plane";
    EXPECT_EQ(0, tri.Hit(V(-0.01f, 0.5f, -1), V(0, 0, 1), &t)) << "u < 0";
    EXPECT_EQ(0, tri.Hit(V(0.5f, -0.01f, -1), V(0, 0, 1), &t)) << "w < 0";
    EXPECT_EQ(0, tri.Hit(V(0.51f, 0.5f, -1), V(0, 0, 1), &t)) << "u + w > det";
    EXPECT_EQ(0, tri.Hit(V(1.01f, 0, -1), V(0, 0, 1), &t)) << "u > det";
    EXPECT_EQ(99.0f, t) << "a miss leaves t alone";
    EXPECT_EQ(0, IntersectTriangle(NULL, NULL, NULL, NULL, NULL, &t));
}

TEST(MathIntersect, DeterminantThreshold)
{
    Triangle tri;
    // With this triangle det equals the direction's z length.
    float t = 0;
    EXPECT_EQ(1, tri.Hit(V(0.25f, 0.25f, -1), V(0, 0, 0.0001f), &t)) << "det = 0.0001 passes";
    EXPECT_NEAR(10000.0f, t, 1.0f);
    t = 0;
    EXPECT_EQ(0, tri.Hit(V(0.25f, 0.25f, -1), V(0, 0, nextafterf(0.0001f, 0.0f)), &t)) << "just below";
    EXPECT_EQ(1, tri.Hit(V(0.25f, 0.25f, -1), V(0, 0, -0.0001f), &t)) << "det = -0.0001 turned around";
    EXPECT_NEAR(-10000.0f, t, 1.0f);
}

class MathDump : public ::testing::Test {
protected:
    gfxtest::DebugOutputCapture capture;

    std::string Dump(D3DXMATRIX m)
    {
        size_t before = capture.Texts().size();
        EXPECT_EQ(1, DumpMatrix(&m));
        EXPECT_TRUE(capture.WaitForCount(before + 1, 5000)) << "no debugger output arrived";
        std::vector<std::string> texts = capture.Texts();
        return texts.size() > before ? texts[before] : std::string("<nothing>");
    }
};

TEST_F(MathDump, SmallValuesComeOutWhole)
{
    ASSERT_TRUE(capture.Ready());
    D3DXMATRIX identity = {};
    for (int i = 0; i < 4; ++i)
        identity.m[i][i] = 1.0f;
    EXPECT_EQ("\n| 1.000000\t, 0.000000\t, 0.000000\t, 0.000000\t|\n"
              "| 0.000000\t, 1.000000\t, 0.000000\t, 0.000000\t|\n"
              "| 0.000000\t, 0.000000\t, 1.000000\t, 0.000000\t|\n"
              "| 0.000000\t, 0.000000\t, 0.000000\t, 1.000000\t|\n",
              Dump(identity));

    // Values in memory order, row by row; eight characters each is the most that always fits.
    D3DXMATRIX m = Filled(0.5f, 0.25f);
    EXPECT_EQ(Expected(m), Dump(m));
    D3DXMATRIX nines = Filled(9.5f, 0.0f);
    EXPECT_EQ(185u, Expected(nines).size());
    EXPECT_EQ(Expected(nines), Dump(nines));
}

TEST_F(MathDump, LongTextIsCutAtTheBuffer)
{
    ASSERT_TRUE(capture.Ready());
    D3DXMATRIX negative = Filled(-1234.5f, -1.0f);
    std::string full = Expected(negative);
    ASSERT_GT(full.size(), 199u);
    EXPECT_EQ(full.substr(0, 199), Dump(negative));

    D3DXMATRIX huge = Filled(1e30f, 1e29f);
    full = Expected(huge);
    ASSERT_GT(full.size(), 600u);
    EXPECT_EQ(full.substr(0, 199), Dump(huge));

    // Still working after the long ones.
    D3DXMATRIX zero = {};
    EXPECT_EQ(Expected(zero), Dump(zero));
}
