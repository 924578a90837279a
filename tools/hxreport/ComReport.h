#pragma once

#include <string>

#include "CommandLine.h"

namespace hxreport {

// Reports the event once on this thread; prints the HRESULT and returns the exit status.
int reportOnce(const Options& options, const std::wstring& event);

// Reports it from several threads; prints the outcome, the rate and the latency.
int reportUnderLoad(const Options& options, const std::wstring& event);

} // namespace hxreport
