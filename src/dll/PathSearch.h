#pragma once

#include <memory>
#include <string>
#include <vector>

#include "wrappers/PathAPI.h"

namespace Corvane {

// An ordered list of folders and the first of them that holds a given file. Entries are kept
// as given: no expansion, no normalisation, duplicates allowed. Used by one owner at a time.
class PathSearch {
public:
    // An empty pointer gives the default PathAPI.
    explicit PathSearch(std::shared_ptr<PathAPI> api = nullptr);
    PathSearch(const PathSearch&) = delete;
    PathSearch& operator=(const PathSearch&) = delete;

    virtual ~PathSearch() = default;

    virtual std::vector<std::wstring> getSearchPaths() const;
    virtual void addSearchPaths(const std::vector<std::wstring>& paths);
    // A null pointer adds nothing.
    virtual void addSearchPath(const wchar_t* path);
    virtual void addSearchPath(const std::wstring& path);

    // The first entry E for which E + backslash + fileName is an existing file goes to
    // folder; folder is untouched when none is. Entries that are not fully qualified folders
    // are skipped with a warning.
    virtual bool findFilePath(const std::wstring& fileName, std::wstring& folder);
    // An existing file, not a directory.
    virtual bool checkIfExists(const std::wstring& path);

private:
    std::shared_ptr<PathAPI> pathApi_;
    std::vector<std::wstring> searchPaths_;
};

} // namespace Corvane
