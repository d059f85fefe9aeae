// The session's tests run without any widget application.
#include "session/SessionFixture.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace zelm::testing {
INSTANTIATE_TEST_SUITE_P(Homes, BothHomes, ::testing::Values(Home::Folder, Home::Server), homeName);
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
