// Test programs run on the headless backend with a fixed random seed.
#include <gtest/gtest.h>

#include "platform/media.h"
#include "platform/random.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    media_init(BackendKind::headless);
    seed_random(12345);
    int result = RUN_ALL_TESTS();
    media_close();
    return result;
}
