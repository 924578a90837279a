#pragma once

#include <gtest/gtest.h>

namespace PelmoraTests {

// Test suites that activate the class through COM: the built DLL is registered per machine
// with regsvr32 unless it already is, and unregistered when the test program ends.
class RegisteredServer : public testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;

private:
    static bool registered_;
};

} // namespace PelmoraTests
