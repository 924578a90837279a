#pragma once

#include <string>

#include <windows.h>

#include "RelayedMessage.h"

namespace EventRelay {

// One line of the message log: a JSON object with a fixed key order, UTF-8, ending in a
// line feed, so that tools can read the log as JSON lines and compare lines as text.
class MessageLogLine {
public:
    static std::string format(const RelayedMessage& message, DWORD processId, const SYSTEMTIME& utcTime);

    // The text as a JSON string body: quote, backslash and control characters escaped.
    static std::wstring escape(const std::wstring& text);

private:
    static std::wstring timestamp(const SYSTEMTIME& utcTime);
    static std::string toUtf8(const std::wstring& text);
};

} // namespace EventRelay
