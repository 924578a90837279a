#pragma once

#include <gtest/gtest.h>

namespace PelmoraTests {

// Test suites that activate the class through COM: the built DLL is registered per machine
// with regsvr32 for the suite and unregistered after it.
class RegisteredServer : public testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

private:
    static bool registered_;
};

} // namespace PelmoraTests
