#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LogFileText.h"
#include "ProblemList.h"
#include "SharedTicketCounter.h"
#include "TaggedMessage.h"
#include "WriterProcesses.h"
#include "WrittenLine.h"
#include "support/ScratchFolder.h"
#include "utils/CObfuscatedIniReader.h"

namespace {

using namespace FileLogTests;
using Vornix::CObfuscatedIniReader;

constexpr unsigned WRITERS = 4;
constexpr unsigned LINES = 500;
// The smallest MaxSize the logger accepts; the writers' lines fill about six such files.
constexpr DWORD MAX_SIZE = 262144;
constexpr int OPTIONS_COMPONENT_PROCESS_THREAD = 0x14;

struct LogFile {
    std::size_t size = 0;
    std::vector<WrittenLine> lines;
};

// The log files by their number.
using Ring = std::map<unsigned, LogFile>;

std::wstring uniqueTicketsName() {
    static unsigned counter = 0;
    return L"pelmora-filelog-tickets-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(counter++);
}

std::vector<WrittenLine> linesInOrder(const Ring& ring, const std::vector<unsigned>& order) {
    std::vector<WrittenLine> lines;
    for (const unsigned index : order) {
        const auto& file = ring.at(index).lines;
        lines.insert(lines.end(), file.begin(), file.end());
    }
    return lines;
}

// Files in the order they were written hold the writes in the order they were made.
void expectTicketsRiseThroughTheFiles(const Ring& ring, const std::vector<unsigned>& order) {
    ProblemList outOfOrder;
    DWORD previous = 0;
    for (const unsigned index : order) {
        for (const WrittenLine& line : ring.at(index).lines) {
            if (line.ticket <= previous) {
                outOfOrder.add("file " + std::to_string(index) + ": write " + std::to_string(line.ticket) +
                               " after write " + std::to_string(previous));
            }
            previous = line.ticket;
        }
    }
    EXPECT_TRUE(outOfOrder.empty()) << "writes out of order, " << outOfOrder.summary();
}

// No write was lost or made twice: the tickets run from `first` to `last`.
void expectTicketsWithoutGaps(const std::vector<WrittenLine>& lines, DWORD first, DWORD last) {
    std::map<DWORD, int> counts;
    for (const WrittenLine& line : lines) {
        ++counts[line.ticket];
    }
    ProblemList wrong;
    for (DWORD ticket = first; ticket <= last; ++ticket) {
        const int count = counts.count(ticket) != 0 ? counts[ticket] : 0;
        if (count != 1) {
            wrong.add("write " + std::to_string(ticket) + " found " + std::to_string(count) + " times");
        }
    }
    EXPECT_EQ(std::size_t{last - first + 1}, counts.size()) << "writes from " << first << " to " << last;
    EXPECT_TRUE(wrong.empty()) << wrong.summary();
}

void expectEveryLineOnce(const std::vector<WrittenLine>& lines) {
    std::map<std::pair<unsigned, unsigned>, int> counts;
    for (const WrittenLine& line : lines) {
        ++counts[{line.writer, line.sequence}];
    }
    ProblemList wrong;
    for (unsigned writer = 0; writer < WRITERS; ++writer) {
        for (unsigned sequence = 0; sequence < LINES; ++sequence) {
            const auto found = counts.find({writer, sequence});
            const int count = found == counts.end() ? 0 : found->second;
            if (count != 1) {
                wrong.add("writer " + std::to_string(writer) + " line " + std::to_string(sequence) +
                          " found " + std::to_string(count) + " times");
            }
        }
    }
    EXPECT_TRUE(wrong.empty()) << wrong.summary();
    EXPECT_EQ(std::size_t{WRITERS} * LINES, counts.size());
}

// A file is left for the next one only once it has reached MaxSize, and it gets a line only
// while it is below it: at most one line beyond.
void expectRotationAtMaxSize(const Ring& ring, unsigned current) {
    for (const auto& [index, file] : ring) {
        ASSERT_FALSE(file.lines.empty()) << "file " << index;
        EXPECT_LT(file.size - file.lines.back().bytes, MAX_SIZE) << "file " << index;
        if (index != current) {
            EXPECT_GE(file.size, MAX_SIZE) << "file " << index;
        }
    }
}

std::optional<unsigned> ringIndexOf(const std::wstring& fileName) {
    static const std::wregex name(LR"(filelog_writer__no_host(\d{3})\.log)");
    std::wsmatch match;
    if (!std::regex_match(fileName, match, name)) {
        return std::nullopt;
    }
    return static_cast<unsigned>(std::stoul(match[1].str()));
}

class FileLogProcessesTest : public testing::Test {
protected:
    ScratchFolder scratch;
    const std::wstring folder =
        scratch.pathOf(std::wstring(L"Halvex\\HXLOGS\\_no_group\\") + WRITER_BASE_NAME);
    const std::wstring perLogIni = folder + L"\\log.ini";
    const std::wstring ticketsName = uniqueTicketsName();
    SharedTicketCounter tickets{ticketsName};
    std::vector<DWORD> processIds;

    // The writers read these at Init, scrambled as the logger wants them.
    void configure(DWORD maxEntries) {
        std::filesystem::create_directories(std::filesystem::path(folder));
        CObfuscatedIniReader ini(CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
        ini.Load(perLogIni);
        ASSERT_TRUE(ini.WriteInt(L"Config", L"MaxSize", static_cast<int>(MAX_SIZE)));
        ASSERT_TRUE(ini.WriteInt(L"Config", L"MaxEntries", static_cast<int>(maxEntries)));
        ASSERT_TRUE(ini.WriteInt(L"Config", L"Options", OPTIONS_COMPONENT_PROCESS_THREAD));
    }

    void runWriters() {
        ASSERT_TRUE(tickets.valid());
        WriterProcesses writers(scratch.path(), ticketsName, WRITERS, LINES);
        ASSERT_TRUE(writers.startTogether());
        EXPECT_EQ(std::vector<DWORD>(WRITERS, 0), writers.waitForExit()) << "exit codes: first Log error";
        for (unsigned writer = 0; writer < WRITERS; ++writer) {
            processIds.push_back(writers.processId(writer));
        }
        EXPECT_EQ(static_cast<LONG>(WRITERS * LINES), tickets.last()) << "one line formatted per Log call";
    }

    std::optional<int> lastLogIdx() const {
        CObfuscatedIniReader ini(CObfuscatedIniReader::MODE_SCRAMBLED_ONLY);
        int index = 0;
        if (ini.Load(perLogIni) && ini.GetInt(L"Config", L"LastLogIdx", index)) {
            return index;
        }
        return std::nullopt;
    }

    // Every file must be UTF-16 text with its byte-order mark made of whole lines only.
    Ring readRing() const {
        Ring ring;
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(folder))) {
            const std::wstring name = entry.path().filename().wstring();
            const auto index = ringIndexOf(name);
            if (index) {
                ring[*index] = readFile(entry.path().wstring());
            } else {
                EXPECT_EQ(L"log.ini", name) << "nothing else lies beside the log files";
            }
        }
        return ring;
    }

    LogFile readFile(const std::wstring& path) const {
        const LogFileText text(path);
        EXPECT_EQ("", text.encodingProblem()) << testing::PrintToString(path);
        LogFile file{text.size(), {}};
        ProblemList broken;
        const std::vector<std::wstring> lines = text.lines();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const auto line = parseWrittenLine(lines[i]);
            if (!line) {
                broken.add("line " + std::to_string(i) +
                           " is not whole: " + testing::PrintToString(lines[i].substr(0, 160)));
            } else if (line->writer >= WRITERS || processIds[line->writer] != line->processId) {
                broken.add("line " + std::to_string(i) + " of writer " + std::to_string(line->writer) +
                           " from process " + std::to_string(line->processId));
            } else {
                file.lines.push_back(*line);
            }
        }
        EXPECT_TRUE(broken.empty()) << testing::PrintToString(path) << ": " << broken.summary();
        return file;
    }
};

TEST_F(FileLogProcessesTest, FourProcessesWithoutWrappingKeepEveryLineOnceAndWhole) {
    ASSERT_NO_FATAL_FAILURE(configure(100));
    ASSERT_NO_FATAL_FAILURE(runWriters());
    const Ring ring = readRing();
    ASSERT_GE(ring.size(), 2u) << "the lines must fill more than one file";
    std::vector<unsigned> order;
    for (unsigned index = 0; index < ring.size(); ++index) {
        ASSERT_EQ(1u, ring.count(index)) << "files numbered without a gap from 000";
        order.push_back(index);
    }
    const std::vector<WrittenLine> lines = linesInOrder(ring, order);
    expectEveryLineOnce(lines);
    expectTicketsWithoutGaps(lines, 1, WRITERS * LINES);
    expectTicketsRiseThroughTheFiles(ring, order);
    expectRotationAtMaxSize(ring, order.back());
    EXPECT_EQ(static_cast<int>(order.back()), lastLogIdx());
}

TEST_F(FileLogProcessesTest, FourProcessesWrappingKeepWholeLinesAndTheLastFileIndex) {
    constexpr unsigned ENTRIES = 3;
    ASSERT_NO_FATAL_FAILURE(configure(ENTRIES));
    ASSERT_NO_FATAL_FAILURE(runWriters());
    const Ring ring = readRing();
    ASSERT_EQ((std::vector<unsigned>{0, 1, 2}), [&] {
        std::vector<unsigned> indexes;
        for (const auto& file : ring) {
            indexes.push_back(file.first);
        }
        return indexes;
    }());
    const std::optional<int> stored = lastLogIdx();
    ASSERT_TRUE(stored && *stored >= 0 && *stored < static_cast<int>(ENTRIES)) << "LastLogIdx";
    const auto last = static_cast<unsigned>(*stored);
    // Oldest first: the one after the last written, round the ring.
    const std::vector<unsigned> order = {(last + 1) % ENTRIES, (last + 2) % ENTRIES, last};
    expectTicketsRiseThroughTheFiles(ring, order);
    ASSERT_FALSE(ring.at(last).lines.empty());
    EXPECT_EQ(WRITERS * LINES, ring.at(last).lines.back().ticket) << "the last write is in file LastLogIdx";

    // Emptying a file drops only the oldest writes: the rest run without a gap to the last.
    const std::vector<WrittenLine> lines = linesInOrder(ring, order);
    ASSERT_FALSE(lines.empty());
    ASSERT_GT(lines.front().ticket, 1u) << "the writers must wrap the ring";
    expectTicketsWithoutGaps(lines, lines.front().ticket, WRITERS * LINES);
    expectRotationAtMaxSize(ring, last);
}

} // namespace
