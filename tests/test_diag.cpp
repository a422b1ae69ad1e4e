/* test_diag.cpp: number formats, progress labels, memory accounting */
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "driver/diag.h"

TEST(Format, ExponentsHaveThreeDigits)
{
    struct {
        const char *fmt;
        double v;
        const char *want;
    } cases[] = {
        {"%10.2lE", 1, " 1.00E+000"},
        {"%10.2lE", -0.5, "-5.00E-001"},
        {"%10.2lE", 0, " 0.00E+000"},
        {"%10.2lE", 1e100, " 1.00E+100"},
        {"%10.2lE", -1.5e-300, "-1.50E-300"},
        {"%.9lG", 0.00001, "1E-005"},
        {"%.9lG", 0.1, "0.1"},
        {"%.9lG", 1234567890123.0, "1.23456789E+012"},
        {"%lG", 123456789, "1.23457E+008"},
        {"%lG", 2.5, "2.5"},
        {"%lG", -1e-5, "-1E-005"},
        {"%-12lE|", 1, "1.000000E+000|"},
        {"%013.3E", -2, "-002.000E+000"},
        {"%lG", 1.0 / 0.0, "INF"},
    };
    for (auto &c : cases)
        EXPECT_EQ(Format(c.fmt, c.v), c.want) << c.fmt;
}

TEST(Format, IntegersStringsAndText)
{
    EXPECT_EQ(Format("%li|%5li|%-4i|%u|%lu%%", 42L, -7L, 3, 9u, 12UL), "42|   -7|3   |9|12%");
    EXPECT_EQ(Format("[%s] %.2s", "abc", "xyz"), "[abc] xy");
}

TEST(Format, FilesGetCarriageReturns)
{
    FILE *f = std::tmpfile();
    Fprint(f, "a %lG\nb\n", 1e-5);
    std::rewind(f);
    char buf[64] = {0};
    size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    EXPECT_EQ(std::string(buf, n), "a 1E-005\r\nb\r\n");
}

static std::string LabelOf(const char *label)
{
    FILE *f = std::tmpfile();
    PrintLabel(f, "%s", label);
    std::rewind(f);
    char buf[256] = {0};
    size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    return std::string(buf, n);
}

TEST(PrintLabel, DotLeaderEndsAtColumn51)
{
    EXPECT_EQ(LabelOf("number of boundary points"), "number of boundary points " + std::string(24, '.') + " ");
    EXPECT_EQ(LabelOf("x"), "x " + std::string(48, '.') + " ");
    std::string l48(48, 'a'), l49(49, 'b'), l60(60, 'c');
    EXPECT_EQ(LabelOf(l48.c_str()), l48 + " . ");
    EXPECT_EQ(LabelOf(l49.c_str()), l49 + "  ");
    EXPECT_EQ(LabelOf(l60.c_str()), l60 + "  ");
    EXPECT_EQ(LabelOf("").size(), 51u);
}

TEST(Memory, KilobytesRoundUp)
{
    EXPECT_EQ(KBytes(0), 0u);
    EXPECT_EQ(KBytes(1), 1u);
    EXPECT_EQ(KBytes(1024), 1u);
    EXPECT_EQ(KBytes(1025), 2u);
    EXPECT_EQ(KBytes(5ull << 40), 5ull << 30); /* beyond 32 bits */
}

TEST(Memory, AllocationIsZeroedAndCounted)
{
    uint64_t before = Nbytes;
    double *d = (double *)AllocArray(1, 1000, sizeof(double));
    for (int i = 0; i < 1000; i++)
        ASSERT_EQ(d[i], 0.0);
    EXPECT_EQ(Nbytes - before, 8000u);
    FreeArray(d);
    EXPECT_EQ(Nbytes - before, 8000u);
}

TEST(MemoryDeathTest, FailedAllocationNamesItsBlock)
{
#ifdef KAVOR_SANITIZE
    GTEST_SKIP() << "AddressSanitizer ends a request of 2^47 bytes itself";
#endif
    EXPECT_EXIT(AllocArray(1086, (size_t)1 << 44, 8), ::testing::ExitedWithCode(1),
                "^\nFatal Error Code: 1086\ncan't allocate memory \\[17592186044416x8=140737488355328\\]\n$");
}
