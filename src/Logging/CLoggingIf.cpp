#include "Logging/CLoggingIf.h"

namespace ETWLogging {

CLoggingIf::~CLoggingIf() = default;

void CLoggingIf::GetComponentPath(std::wstring&) {}

void CLoggingIf::GetGroup(std::wstring&) {}

ULONG CLoggingIf::AddRef() { return 0; }

ULONG CLoggingIf::Release() { return 0; }

} // namespace ETWLogging
