// math.h - float helpers, matrix printing and the ray/triangle test for 3-D work.
//
// Records in this header:
//   D3DXVECTOR3   three floats x, y, z
//   D3DXMATRIX    sixteen floats, four rows of four, stored row by row
// Free functions: FToDW, FAbsLong, F_Point, DumpMatrix, IntersectTriangle.
#pragma once

#include <windows.h>
#include "frame.h"

// A point or direction in 3-D space.
struct D3DXVECTOR3 {
    float x;
    float y;
    float z;
};

// A 4 x 4 matrix, first row first.
struct D3DXMATRIX {
    float m[4][4];
};

// Returns the 32 bits of f unchanged (1.0 gives 0x3F800000).
TARVIK_API unsigned long WINAPI FToDW(float f);
// Returns f truncated toward zero, plus one when the part cut off is half or more in size (-2.7 gives -1).
TARVIK_API long WINAPI FAbsLong(float f);
// Returns the fractional part of f, with the sign of f.
TARVIK_API float WINAPI F_Point(float f);
// Returns 1 after sending the matrix as four text rows to the debugger output.
TARVIK_API int WINAPI DumpMatrix(D3DXMATRIX* matrix);
// Returns 1 when the ray hits the triangle (from either side), storing the distance parameter in *t; else 0.
TARVIK_API int WINAPI IntersectTriangle(D3DXVECTOR3* origin, D3DXVECTOR3* direction, D3DXVECTOR3* corner0,
                                        D3DXVECTOR3* corner1, D3DXVECTOR3* corner2, float* t);
