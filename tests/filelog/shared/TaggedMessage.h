#pragma once

#include <string>

namespace FileLogTests {

// Everything the writer processes and the test that reads their files agree on.
constexpr const wchar_t* WRITER_BASE_NAME = L"filelog_writer";
constexpr const wchar_t* WRITER_SOURCE = L"filelog\\LogWriter";
constexpr const wchar_t* WRITER_FUNCTION = L"FileLogTests::writeLines";

// Message `sequence` of writer `process`: "P<process> S<sequence, 4 digits>", then that tag
// over and over with characters beyond ASCII, a surrogate pair among them, so that a line cut
// short or spliced from two is never taken for a whole one.
std::wstring taggedMessage(unsigned process, unsigned sequence);

} // namespace FileLogTests
