// math.cpp - float helpers, matrix printing and the ray/triangle test.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "math.h"

unsigned long WINAPI FToDW(float f)
{
    unsigned int bits;
    memcpy(&bits, &f, sizeof bits);
    return bits;
}

long WINAPI FAbsLong(float f)
{
    long n = static_cast<long>(f);  // truncated toward zero
    float dropped = f - static_cast<float>(n);
    // A dropped part of half or more in size adds one, on either side of zero: -2.7 gives -1.
    if (dropped >= 0.5f || dropped <= -0.5f)
        return n + 1;
    return n;
}

float WINAPI F_Point(float f)
{
    return f - static_cast<float>(static_cast<long>(f));
}

int WINAPI DumpMatrix(D3DXMATRIX* matrix)
{
    if (!matrix)
        return 1;
    // Fits sixteen values of up to 8 characters each; longer texts are cut at the end of the buffer.
    char text[200];
    const float (&m)[4][4] = matrix->m;
    int written = snprintf(text, sizeof text,
                           "\n| %f\t, %f\t, %f\t, %f\t|\n| %f\t, %f\t, %f\t, %f\t|\n"
                           "| %f\t, %f\t, %f\t, %f\t|\n| %f\t, %f\t, %f\t, %f\t|\n",
                           m[0][0], m[0][1], m[0][2], m[0][3], m[1][0], m[1][1], m[1][2], m[1][3],
                           m[2][0], m[2][1], m[2][2], m[2][3], m[3][0], m[3][1], m[3][2], m[3][3]);
    if (written < 0)
        text[0] = '\0';
    text[sizeof text - 1] = '\0';
    OutputDebugStringA(text);
    return 1;
}

namespace {

// Rounds one result to single precision. On x87 (32-bit builds) intermediate results otherwise keep
// extended precision, and the boundary cases of the test would depend on the compiler's register use.
inline float F(float value)
{
    volatile float stored = value;
    return stored;
}

void Subtract(D3DXVECTOR3& out, const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    out.x = F(a.x - b.x);
    out.y = F(a.y - b.y);
    out.z = F(a.z - b.z);
}

void Cross(D3DXVECTOR3& out, const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    out.x = F(F(a.y * b.z) - F(a.z * b.y));
    out.y = F(F(a.z * b.x) - F(a.x * b.z));
    out.z = F(F(a.x * b.y) - F(a.y * b.x));
}

float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return F(F(F(a.x * b.x) + F(a.y * b.y)) + F(a.z * b.z));
}

}  // namespace

int WINAPI IntersectTriangle(D3DXVECTOR3* origin, D3DXVECTOR3* direction, D3DXVECTOR3* corner0,
                             D3DXVECTOR3* corner1, D3DXVECTOR3* corner2, float* t)
{
    if (!origin || !direction || !corner0 || !corner1 || !corner2 || !t)
        return 0;
    D3DXVECTOR3 edge1, edge2;
    Subtract(edge1, *corner1, *corner0);
    Subtract(edge2, *corner2, *corner0);

    D3DXVECTOR3 p;
    Cross(p, *direction, edge2);
    float det = Dot(edge1, p);

    // Both faces count: turn the test around for a triangle seen from behind.
    D3DXVECTOR3 tv;
    if (det > 0.0f) {
        Subtract(tv, *origin, *corner0);
    } else {
        Subtract(tv, *corner0, *origin);
        det = -det;
    }
    // Parallel to the triangle's plane, or nearly so.
    if (det < 0.0001f)
        return 0;

    float u = Dot(tv, p);
    if (u < 0.0f || u > det)
        return 0;

    D3DXVECTOR3 q;
    Cross(q, tv, edge1);
    float w = Dot(*direction, q);
    if (w < 0.0f || F(u + w) > det)
        return 0;

    *t = F(Dot(edge2, q) * F(1.0f / det));
    return 1;
}
