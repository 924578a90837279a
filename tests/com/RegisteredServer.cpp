#include "RegisteredServer.h"

#include "PelmoraDll.h"
#include "Regsvr32.h"
#include "ServerRegistration.h"

namespace PelmoraTests {

bool RegisteredServer::registered_ = false;

void RegisteredServer::SetUpTestSuite() {
    ServerRegistration::removeAll(PelmoraDll::defaultPath());
    registered_ = regsvr32(L"/s " + quotedPath(PelmoraDll::defaultPath())) == 0;
}

void RegisteredServer::TearDownTestSuite() {
    ServerRegistration::removeAll(PelmoraDll::defaultPath());
}

void RegisteredServer::SetUp() {
    ASSERT_TRUE(registered_) << "regsvr32 /s Pelmora.dll failed";
}

} // namespace PelmoraTests
