// Every test program runs in one COM apartment, as the installer does.

#include "runtime/com.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    fennimark::runtime::ComApartment apartment;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
