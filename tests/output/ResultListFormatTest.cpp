// The list's text form, shared by the window's save and quennet-cli --csv.
#include "output/ResultListFormat.h"

#include <gtest/gtest.h>

namespace quennet {
namespace {

std::string Line(ListFormat format, const std::string& name, const std::string& folder,
                 std::int64_t size = 1536, std::int64_t offset = 7, const std::string& line = "") {
    std::string out;
    AppendListRow(out, format, name, folder, size, offset, line);
    return out;
}

TEST(ResultListFormat, HeaderNamesTheSixColumns) {
    std::string tabs, csv;
    AppendListHeader(tabs, ListFormat::TabSeparated);
    AppendListHeader(csv, ListFormat::Csv);
    EXPECT_EQ(tabs, "Name\tIn Folder\tSize in bytes\tSize\tMatch offset\tMatch line\r\n");
    EXPECT_EQ(csv, "Name,In Folder,Size in bytes,Size,Match offset,Match line\r\n");
}

TEST(ResultListFormat, FieldsAreQuotedOnlyWhenTheyHoldTheSeparatorAQuoteALineBreakOrAFormula) {
    struct Case {
        std::string name;
        std::string tabs; // the name's field in each form
        std::string csv;
    };
    const Case cases[] = {
        {"plain.txt", "plain.txt", "plain.txt"},
        {"a,b.txt", "a,b.txt", "\"a,b.txt\""},
        {"a\tb.txt", "\"a\tb.txt\"", "a\tb.txt"},
        {"say \"hi\".txt", "\"say \"\"hi\"\".txt\"", "\"say \"\"hi\"\".txt\""},
        {"two\nlines", "\"two\nlines\"", "\"two\nlines\""},
        {"cr\rhere", "\"cr\rhere\"", "\"cr\rhere\""},
        {"\"", "\"\"\"\"", "\"\"\"\""},
        {"", "", ""},
        // UTF-8 passes byte for byte, also bytes that look like nothing special alone.
        {"\xC3\xA9t\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC.txt", "\xC3\xA9t\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC.txt",
         "\xC3\xA9t\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC.txt"},
        {"emoji \xF0\x9F\x98\x80,x", "emoji \xF0\x9F\x98\x80,x", "\"emoji \xF0\x9F\x98\x80,x\""},
        // A name a spreadsheet would run as a formula stays text there; scripts read tabs exact.
        {"=HYPERLINK(\"x\").txt", "\"=HYPERLINK(\"\"x\"\").txt\"", "\"'=HYPERLINK(\"\"x\"\").txt\""},
        {"+1.txt", "+1.txt", "\"'+1.txt\""},
        {"-v", "-v", "\"'-v\""},
        {"@SUM(A1)", "@SUM(A1)", "\"'@SUM(A1)\""},
        {"\tx", "\"\tx\"", "\"'\tx\""},
        {"a=b", "a=b", "a=b"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Line(ListFormat::TabSeparated, c.name, "C:\\d\\"),
                  c.tabs + "\tC:\\d\\\t1536\t1.5 KB\t7\t\r\n")
            << c.name;
        EXPECT_EQ(Line(ListFormat::Csv, c.name, "C:\\d\\"), c.csv + ",C:\\d\\,1536,1.5 KB,7,\r\n") << c.name;
    }
}

TEST(ResultListFormat, FolderSizesAndOffsetsInEveryColumn) {
    EXPECT_EQ(Line(ListFormat::Csv, "n", "C:\\x, y\\", 5368709120LL, 4294967295LL),
              "n,\"C:\\x, y\\\",5368709120,5 GB,4294967295,\r\n");
    EXPECT_EQ(Line(ListFormat::TabSeparated, "n", "/tmp/\"q\"/", 0, 0),
              "n\t\"/tmp/\"\"q\"\"/\"\t0\t0 b\t0\t\r\n");
    EXPECT_EQ(Line(ListFormat::TabSeparated, "n", "/", 1288490188, 1048575),
              "n\t/\t1288490188\t1.19 GB\t1048575\t\r\n");
    EXPECT_EQ(Line(ListFormat::Csv, "n", "/", 9223372036854775807LL, 10),
              "n,/,9223372036854775807,8589934592 GB,10,\r\n");
}

TEST(ResultListFormat, TheMatchLineIsTheLastFieldQuotedLikeTheOthers) {
    EXPECT_EQ(Line(ListFormat::Csv, "n", "/", 1, 2, "a, \"b\""), "n,/,1,1 b,2,\"a, \"\"b\"\"\"\r\n");
    EXPECT_EQ(Line(ListFormat::TabSeparated, "n", "/", 1, 2, "a, b"), "n\t/\t1\t1 b\t2\ta, b\r\n");
    // A line of a list or a diff often starts with a dash or a plus.
    EXPECT_EQ(Line(ListFormat::Csv, "n", "/", 1, 2, "-x = 1"), "n,/,1,1 b,2,\"'-x = 1\"\r\n");
}

TEST(ResultListFormat, TheFileNameChoosesTheForm) {
    EXPECT_EQ(ListFormatForFileName("C:\\out\\list.csv"), ListFormat::Csv);
    EXPECT_EQ(ListFormatForFileName("LIST.CSV"), ListFormat::Csv);
    EXPECT_EQ(ListFormatForFileName(".csv"), ListFormat::Csv);
    EXPECT_EQ(ListFormatForFileName("list.txt"), ListFormat::TabSeparated);
    EXPECT_EQ(ListFormatForFileName("list.csv.txt"), ListFormat::TabSeparated);
    EXPECT_EQ(ListFormatForFileName("listcsv"), ListFormat::TabSeparated);
    EXPECT_EQ(ListFormatForFileName("csv"), ListFormat::TabSeparated);
}

} // namespace
} // namespace quennet
