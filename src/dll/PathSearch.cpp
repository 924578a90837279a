#include "dll/PathSearch.h"

#include <new>
#include <utility>

#include "Logging/LogCalls.h"
#include "dll/FullyQualifiedFolder.h"

namespace Corvane {

namespace {
constexpr const wchar_t* logSource = L"PathSearch";
} // namespace

using namespace ETWLogging;

PathSearch::PathSearch(std::shared_ptr<PathAPI> api)
    : pathApi_(api ? std::move(api) : std::make_shared<PathAPI>()) {}

std::vector<std::wstring> PathSearch::getSearchPaths() const {
    return searchPaths_;
}

void PathSearch::addSearchPaths(const std::vector<std::wstring>& paths) {
    searchPaths_.insert(searchPaths_.end(), paths.begin(), paths.end());
}

void PathSearch::addSearchPath(const wchar_t* path) {
    if (path != nullptr) {
        searchPaths_.emplace_back(path);
    }
}

void PathSearch::addSearchPath(const std::wstring& path) {
    searchPaths_.push_back(path);
}

bool PathSearch::findFilePath(const std::wstring& fileName, std::wstring& folder) {
    constexpr const wchar_t* function = L"Corvane::PathSearch::findFilePath";
    HXLOG(LOG_LEVEL_NORMAL, logSource, function, L"Entering findFilePath for file %ls", fileName.c_str());
    try {
        for (const std::wstring& entry : searchPaths_) {
            // Resolved against the host's current directory, such a folder could plant a library.
            if (!isFullyQualifiedFolder(entry)) {
                HXLOG(LOG_LEVEL_WARNING, logSource, function,
                      L"Skipping search path %ls: not a fully qualified folder.", entry.c_str());
                continue;
            }
            // Always a backslash of our own: the entry is used exactly as it was given.
            if (checkIfExists(entry + L'\\' + fileName)) {
                folder = entry;
                HXLOG(LOG_LEVEL_NORMAL, logSource, function, L"File found at path %ls. Returning success.",
                      folder.c_str());
                return true;
            }
        }
    } catch (const std::bad_alloc&) {
        // Without memory for a candidate nothing further can be tested.
    }
    HXLOG(LOG_LEVEL_WARNING, logSource, function, L"File not found.");
    return false;
}

bool PathSearch::checkIfExists(const std::wstring& path) {
    constexpr const wchar_t* function = L"Corvane::PathSearch::checkIfExists";
    HXLOG(LOG_LEVEL_NORMAL, logSource, function, L"Entering checkIfExists for %ls", path.c_str());
    if (pathApi_->fileExists(path)) {
        HXLOG(LOG_LEVEL_NORMAL, logSource, function, L"File exists");
        return true;
    }
    HXLOG(LOG_LEVEL_WARNING, logSource, function, L"File does not exist.");
    return false;
}

} // namespace Corvane
