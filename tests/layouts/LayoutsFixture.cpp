#include "LayoutsFixture.h"

#include "layouts/finfrmMargini.h"
#include "layouts/finfrmRepRels.h"
#include "layouts/finfrmReps.h"
#include "layouts/finfrmArdFat.h"

void LayoutsFixture::TearDown()
{
    finfrmMargini::Unload();
    finfrmRepRels::Unload();
    settle();
    PrintFixture::TearDown();
}
