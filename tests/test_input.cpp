/* test_input.cpp: the program's console, exit code and files while it reads
 * and prepares its input
 */
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "harness.h"

/* the unit square, counter-clockwise, U given everywhere */
static const char *Square = "0 0 0 0\n1 0 0 1\n1 1 0 1\n0 1 3 0\n";

/* standard output of a run up to the memory report */
static std::string Head(const std::string &title, long nb, long ni)
{
    return Banner() + "input file: in.dat\ntitle: " + title + "\n" + Lbl("number of boundary points") +
           std::to_string(nb) + "\n" + Lbl("number of internal points") + std::to_string(ni) + "\n" +
           Lbl("allocating memory");
}

/* standard output of the preparation of one boundary of four nodes */
static std::string Prepared(long ness, long nnor, long ntan, long nbnd = 1)
{
    return Lbl("reading boundary points") + "OK\n" + Lbl("total number of boundaries") + std::to_string(nbnd) +
           "\n" + Lbl("number of internal regions") + std::to_string(nbnd - 1) + "\n" +
           Lbl("number of essential BCs") + std::to_string(ness) + "\n" + Lbl("number of normal BCs") +
           std::to_string(nnor) + "\n" + Lbl("number of tangent BCs") + std::to_string(ntan) + "\n" +
           Lbl("sorting boundaries") + "OK\n";
}

TEST(Driver, WrongArgumentCount)
{
    Scratch d;
    for (auto args : {std::vector<std::string>{}, std::vector<std::string>{"a", "b"}}) {
        Outcome r = d.Kavor(args);
        EXPECT_EQ(r.rc, 1);
        EXPECT_EQ(r.out, Banner());
        EXPECT_EQ(r.err, "wrong number of parameters... try\nKAVOR d:\\path\\file.ext\n");
        EXPECT_TRUE(d.Files().empty());
    }
}

TEST(Driver, MissingInputFile)
{
    Scratch d;
    Outcome r = d.Kavor({"nope.dat"});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.out, Banner() + "input file: nope.dat\n");
    EXPECT_EQ(r.err, Fatal(1055, "can't open input file"));
    EXPECT_TRUE(d.Files().empty());
}

TEST(Reader, ValidRunReportsCountsAndMemory)
{
    Scratch d;
    Outcome r = d.KavorOn("* a comment\n\nunit square\n4 0\n" + std::string(Square));
    EXPECT_EQ(r.rc, 0) << r.err;
    std::string want = Head("unit square", 4, 0) + "1 KB\n" + Prepared(4, 0, 0) +
                       Lbl("essential boundary conditions") + "4\n";
    EXPECT_EQ(r.out.substr(0, want.size()), want);
    EXPECT_EQ(r.out.find("reading internal points"), std::string::npos);
}

/* a regular polygon of n nodes, U given, followed by m internal points */
static std::string Circle(int n, int ni, int m)
{
    std::string s = "circle\n" + std::to_string(n) + " " + std::to_string(ni) + "\n";
    for (int i = 0; i < n; i++)
        s += std::to_string(std::cos(2 * M_PI * i / n)) + "," + std::to_string(std::sin(2 * M_PI * i / n)) +
             ",0,1\n";
    for (int k = 0; k < m; k++)
        s += "0.1 , 0.2\n";
    return s;
}

TEST(Reader, MemoryReportCountsEveryArray)
{
    /* 4 int and 6 real arrays of 100, two tables of 100 rows of 100 reals,
       and the internal points: 171200 bytes, 168 KB rounded up */
    Scratch d;
    Outcome r = d.KavorOn(Circle(100, 200, 200));
    EXPECT_EQ(r.rc, 0) << r.err;
    std::string want = Head("circle", 100, 200) + "168 KB\n";
    EXPECT_EQ(r.out.substr(0, want.size()), want);
    std::string pts = Lbl("reading internal points") + "OK\n";
    EXPECT_NE(r.out.find(pts), std::string::npos);
}

TEST(Reader, GridRequestReadsNoPoints)
{
    Scratch d;
    Outcome r = d.KavorOn("t\n4 -4\n" + std::string(Square) + "garbage\n");
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out.find("reading internal points"), std::string::npos);
    /* the largest grid request is read; the grid itself is too fine */
    r = d.KavorOn("t\n4 -2147483647\n" + std::string(Square) + "garbage\n");
    EXPECT_NE(r.err.find("Fatal Error Code: 820\n"), std::string::npos);
    EXPECT_NE(r.out.find(Lbl("number of internal points") + "-2147483647\n"), std::string::npos);
    EXPECT_EQ(r.out.find("reading internal points"), std::string::npos);
}

/* runs that end with a fatal error of the reader or the preparation */
struct FatalCase {
    const char *name;
    std::string input;
    int code;
    std::string msg;
};

TEST(Reader, FatalErrors)
{
    std::string sq = Square;
    std::string c126(126, ' ');
    const FatalCase cases[] = {
        {"comments only", "* one\n\n* three\n", 1036, "unexpected end of input file at line 3"},
        {"empty file", "", 1036, "unexpected end of input file at line 0"},
        {"no counts", "title\n", 1036, "unexpected end of input file at line 1"},
        {"comma in counts", "t\n10,5\n", 1063, "scan error reading Nb,Ni"},
        {"one count", "t\n10\n", 1063, "scan error reading Nb,Ni"},
        {"Nb too large", "t\n99999999999 0\n", 1063, "scan error reading Nb,Ni"},
        {"Nb past 32 bits", "t\n2147483648 0\n", 1063, "scan error reading Nb,Ni"},
        {"Ni too negative", "t\n4 -2147483648\n", 1063, "scan error reading Nb,Ni"},
        {"Ni past 64 bits", "t\n4 99999999999999999999\n", 1063, "scan error reading Nb,Ni"},
        {"two comments before title", "*\n*\ntitle\n4 0\n0 0 0\n", 1102, "scan error on Xb,Yb,Bc,Ub at line 5"},
        {"tab after a number", "t\n4 0\n0\t0 0 0\n", 1102, "scan error on Xb,Yb,Bc,Ub at line 3"},
        {"real as type", "t\n4 0\n0 0 1.5 0\n", 1102, "scan error on Xb,Yb,Bc,Ub at line 3"},
        {"not a number", "t\n4 0\n0 nan 0 0\n", 1102, "scan error on Xb,Yb,Bc,Ub at line 3"},
        {"overflowing real", "t\n4 0\n0 1e999 0 0\n", 1102, "scan error on Xb,Yb,Bc,Ub at line 3"},
        {"hexadecimal real", "t\n4 0\n0x1p3 0 0 0\n", 1102, "scan error on Xb,Yb,Bc,Ub at line 3"},
        /* reals are zero or of magnitude 1E-100 to 1E+100 */
        {"coordinate past 1E+100", "t\n4 0\n1.000000000000001e100 0 0 0\n", 1102,
         "scan error on Xb,Yb,Bc,Ub at line 3"},
        {"value past 1E+100", "t\n4 0\n0 0 0 -2e100\n", 1102, "scan error on Xb,Yb,Bc,Ub at line 3"},
        {"coordinate below 1E-100", "t\n4 0\n0 -9.9e-101 0 0\n", 1102, "scan error on Xb,Yb,Bc,Ub at line 3"},
        {"underflowing real", "t\n4 0\n0 0 0 1e-400\n", 1102, "scan error on Xb,Yb,Bc,Ub at line 3"},
        {"internal point below 1E-100", "t\n4 1\n" + sq + "0.5 1e-300\n", 1259, "scan error on X,Y at line 7"},
        {"type 6", "t\n4 0\n0 0 6 0\n", 1104, "unexpected boundary condition type (expected 0-5)"},
        {"type -1", "t\n4 0\n0 0 -1 0\n", 1104, "unexpected boundary condition type (expected 0-5)"},
        {"type octal 010", "t\n4 0\n0 0 010 0\n", 1104, "unexpected boundary condition type (expected 0-5)"},
        {"type past a long", "t\n4 0\n0 0 99999999999999999999 0\n", 1104,
         "unexpected boundary condition type (expected 0-5)"},
        {"too few boundary lines", "t\n5 0\n" + sq + "* end\n", 1036, "unexpected end of input file at line 7"},
        {"no last line end", "t\n5 0\n" + sq.substr(0, sq.size() - 1), 1036, "unexpected end of input file at line 6"},
        {"long comment", "t\n4 0\n0 0 0 0\n*" + std::string(199, 'x') + "\n1 0 0 1\n", 1102,
         "scan error on Xb,Yb,Bc,Ub at line 5"},
        /* a CR LF pair is one character: a 126-character line and its
           line end fit the 128-byte buffer */
        {"CR LF at the limit", "t\r\n4 0\r\n0 0 0 0" + c126.substr(7) + "\r\nbad\r\n", 1102,
         "scan error on Xb,Yb,Bc,Ub at line 4"},
        {"LF just past the limit", "t\n4 0\n0 0 0 0" + std::string(120, ' ') + "\nbad\n", 1102,
         "scan error on Xb,Yb,Bc,Ub at line 5"},
        /* a 60-character title is read whole, its line end as an empty line */
        {"60-character title", std::string(60, 'T') + "\r\n4 0\nbad\n", 1102,
         "scan error on Xb,Yb,Bc,Ub at line 4"},
        {"61-character title", std::string(61, 'T') + "\n4 0\n", 1063, "scan error reading Nb,Ni"},
        {"bad internal point", "t\n4 2\n" + sq + "0.5 0.5\n0.5;0.5\n", 1259, "scan error on X,Y at line 8"},
        {"missing internal point", "t\n4 2\n" + sq + "0.5 0.5\n", 1036, "unexpected end of input file at line 7"},
    };
    for (auto &c : cases)
        ExpectRejected(c.name, c.input, c.code, c.msg);
}

TEST(Reader, FewerThanThreePoints)
{
    Scratch d;
    Outcome r = d.KavorOn("t\n2 7\n");
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.out, Banner() + "input file: in.dat\ntitle: t\n" + Lbl("number of boundary points") + "2\n" +
                         Lbl("number of internal points") + "7\n");
    EXPECT_EQ(r.err, Fatal(1071, "less than 3 boundary points"));
}

TEST(Reader, FieldSyntax)
{
    /* separators of blanks and commas, tabs after a separator, octal and
       hexadecimal types, signs and exponents, trailing text, no last line end */
    const char *good[] = {
        "0,0,3,1",       "0 , 0 , 3 , 1", "0,,0, 3 ,\t1 trailing", "  0  0  0x3  1",
        "+0e0 -0. 03 1.", ".0, 0E+00, 3, 10e-1", "0e999, -0.000e-999, 3, 1e100", "0 0 3 -1E-100",
    };
    for (const char *g : good) {
        Scratch d;
        std::string in = std::string("t\n4 0\n1 0 0 1\n1 1 0 1\n0 1 0 0\n") + g; /* no final LF */
        Outcome r = d.KavorOn(in);
        EXPECT_EQ(r.rc, 0) << g << "\n" << r.err;
        EXPECT_NE(r.out.find(Lbl("number of essential BCs") + "4\n"), std::string::npos) << g;
    }
}

TEST(Reader, TextOfTheTitleIsPrintedAsItStands)
{
    Scratch d;
    Outcome r = d.KavorOn("   %s %n\r\\x\n4 0\n" + std::string(Square));
    EXPECT_EQ(r.rc, 0) << r.err;
    std::string want = Banner() + "input file: in.dat\ntitle:    %s %n\r\\x\n";
    EXPECT_EQ(r.out.substr(0, want.size()), want);
}

TEST(Reader, CrLfAndLfGiveTheSameRun)
{
    std::string lf = "* c\ntitle\n4 0\n0 1 3 0\n" + std::string(Square).substr(0, 24) + "\n";
    std::string crlf;
    for (char c : lf)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    Scratch a, b;
    Outcome ra = a.KavorOn(lf), rb = b.KavorOn(crlf);
    EXPECT_EQ(ra.rc, rb.rc);
    EXPECT_EQ(ra.out, rb.out);
    EXPECT_EQ(ra.err, rb.err);
}

/* the address-space limit that these rely on is off under AddressSanitizer,
   which reserves far more address space than it uses */
#ifdef KAVOR_SANITIZE
#define SKIP_WITHOUT_LIMIT() GTEST_SKIP() << "no address-space limit under AddressSanitizer"
#else
#define SKIP_WITHOUT_LIMIT() (void)0
#endif

TEST(Memory, ProblemLargerThanTheMachine)
{
    SKIP_WITHOUT_LIMIT();
    /* 100000 rows of 800000 bytes each exceed the memory of the machine:
       the run names the row that does not fit instead of being killed */
    Scratch d;
    Outcome r = d.KavorOn("huge\n100000 0\n");
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.err, Fatal(1086, "can't allocate memory [100000x8=800000]"));
    EXPECT_EQ(r.out, Head("huge", 100000, 0));
}

TEST(Memory, LowerLimitOfTheUserIsKept)
{
    SKIP_WITHOUT_LIMIT();
    Scratch d;
    d.Write("in.dat", "big\n20000 0\n");
    Outcome r = d.Kavor({"in.dat"}, "ulimit -v 200000;");
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.err, Fatal(1086, "can't allocate memory [20000x8=160000]"));
}
