#include "platform/report/PageBuffers.h"

#include <cstdlib> // defines __GLIBC__ where the C library is glibc
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace report {

namespace {

int gDepth = 0; // pages are written on the user-interface thread only

#if defined(__GLIBC__)
// glibc's own starting values for both limits.
constexpr int kDefaultLimit = 128 * 1024;
// Above the writer's buffers, below the most glibc takes for the mmap limit.
constexpr int kMmapLimit = 32 * 1024 * 1024;
constexpr int kTrimLimit = 256 * 1024 * 1024;
#endif

} // namespace

PageBuffersKept::PageBuffersKept()
{
    if (gDepth++ > 0)
        return;
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, kMmapLimit);
    mallopt(M_TRIM_THRESHOLD, kTrimLimit);
#endif
}

PageBuffersKept::~PageBuffersKept()
{
    if (--gDepth > 0)
        return;
#if defined(__GLIBC__)
    mallopt(M_TRIM_THRESHOLD, kDefaultLimit);
    mallopt(M_MMAP_THRESHOLD, kDefaultLimit);
    // The next free gives the spare top of the heap back; a full trim here
    // would walk the whole heap of a large report.
#endif
}

} // namespace report
