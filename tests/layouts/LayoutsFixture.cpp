#include "LayoutsFixture.h"

#include "layouts/finfrmMargini.h"
#include "layouts/finfrmRepRels.h"

void LayoutsFixture::TearDown()
{
    finfrmMargini::Unload();
    finfrmRepRels::Unload();
    settle();
    PrintFixture::TearDown();
}
