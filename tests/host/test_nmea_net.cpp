// The network GPS sources' byte repairs, piece by piece: bare LF line ends get their CR, whatever
// the pieces' boundaries, and gpsd's reports are left out whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "links/nmea_net.h"

namespace {

struct Case {
    const char* name;
    std::vector<std::string> pieces;
    std::string expected;
    size_t count;  // CRs inserted, or reports begun
};

class LineEnds : public testing::TestWithParam<Case> {};
class GpsdReports : public testing::TestWithParam<Case> {};

TEST_P(LineEnds, BareLfGetsItsCr)
{
    LineEndRepair repair;
    std::string out;
    size_t inserted = 0;
    for (const std::string& piece : GetParam().pieces) inserted += repair.repair(piece, out);
    EXPECT_EQ(out, GetParam().expected);
    EXPECT_EQ(inserted, GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(
    Pieces, LineEnds,
    testing::Values(Case{"LfAtStart", {"\n$A*00\n"}, "\r\n$A*00\r\n", 2},
                    Case{"LfAtEndOfPiece", {"$A*00", "\n"}, "$A*00\r\n", 1},
                    Case{"CrEndsOnePieceLfStartsTheNext", {"$A*00\r", "\n$B*00\r", "\n"}, "$A*00\r\n$B*00\r\n", 0},
                    Case{"CrLfUntouched", {"$A*00\r\n$B*00\r\n"}, "$A*00\r\n$B*00\r\n", 0},
                    Case{"LoneCrUntouched", {"$A*00\r$B*00\r"}, "$A*00\r$B*00\r", 0},
                    Case{"CrThenEmptyPieceThenLf", {"\r", "", "\n"}, "\r\n", 0},
                    Case{"TwoLfs", {"\n\n"}, "\r\n\r\n", 2},
                    Case{"CrLfThenBareLf", {"\r\n", "\n"}, "\r\n\r\n", 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(GpsdReports, JsonLinesAreLeftOut)
{
    GpsdReportFilter filter;
    std::string out;
    size_t reports = 0;
    for (const std::string& piece : GetParam().pieces) reports += filter.filter(piece, out);
    EXPECT_EQ(out, GetParam().expected);
    EXPECT_EQ(reports, GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(
    Pieces, GpsdReports,
    testing::Values(Case{"ReportBetweenSentences", {"$A*00\r\n{\"class\":\"VERSION\"}\r\n$B*00\r\n"}, "$A*00\r\n$B*00\r\n", 1},
                    Case{"ReportSplitOverPieces", {"{\"class\":", "\"TPV\"}\r", "\n$A*00\n"}, "$A*00\n", 1},
                    Case{"BraceInsideALinePasses", {"$A", "{*00\r\n"}, "$A{*00\r\n", 0},
                    Case{"PieceStartsMidSentenceWithBrace", {"$A*00", "{\r\n{x}\n"}, "$A*00{\r\n", 1},
                    Case{"ReportWithoutLineEndAtTheEnd", {"{\"class\":\"WATCH\""}, "", 1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
