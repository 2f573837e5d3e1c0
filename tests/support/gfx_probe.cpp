// gfx_probe.cpp - GDI object count for the tests.
#include "gfx_probe.h"

namespace gfxtest {

unsigned long CountGdiObjects()
{
    unsigned long reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported)
        return reported;
    // Wine keeps GDI objects in one table; a handle with only the table index (no generation in the
    // high word) names whatever object lives in that slot.
    unsigned long count = 0;
    for (ULONG_PTR index = 1; index < 0x10000; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)))
            ++count;
    return count;
}

}  // namespace gfxtest
