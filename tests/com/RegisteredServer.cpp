#include "RegisteredServer.h"

#include "PelmoraDll.h"
#include "Regsvr32.h"
#include "ServerRegistration.h"

namespace PelmoraTests {

namespace {
class UnregisterAtEnd : public testing::Environment {
public:
    void TearDown() override { ServerRegistration::removeAll(PelmoraDll::defaultPath()); }
};

testing::Environment* const unregisterAtEnd = testing::AddGlobalTestEnvironment(new UnregisterAtEnd);
} // namespace

bool RegisteredServer::registered_ = false;

void RegisteredServer::SetUpTestSuite() {
    const std::wstring dll = PelmoraDll::defaultPath();
    if (readRegistryTree(HKEY_CLASSES_ROOT, ServerRegistration::classKey) ==
        ServerRegistration::expectedClassTree(dll)) {
        registered_ = true;
        return;
    }
    ServerRegistration::removeAll(dll);
    registered_ = regsvr32(L"/s " + quotedPath(dll)) == 0;
}

void RegisteredServer::SetUp() {
    ASSERT_TRUE(registered_) << "regsvr32 /s Pelmora.dll failed";
}

} // namespace PelmoraTests
