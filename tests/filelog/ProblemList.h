#pragma once

#include <string>
#include <vector>

namespace FileLogTests {

// What one check found wrong, reported as one failure naming the first few, so that a broken
// logger does not bury the report under thousands of lines.
class ProblemList {
public:
    void add(std::string problem) { problems_.push_back(std::move(problem)); }
    bool empty() const { return problems_.empty(); }

    std::string summary() const {
        std::string text = std::to_string(problems_.size()) + " found:";
        for (std::size_t i = 0; i < problems_.size() && i < SHOWN; ++i) {
            text += "\n  " + problems_[i];
        }
        return problems_.size() > SHOWN ? text + "\n  ..." : text;
    }

private:
    static constexpr std::size_t SHOWN = 8;
    std::vector<std::string> problems_;
};

} // namespace FileLogTests
