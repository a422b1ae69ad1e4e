/* test_writes.cpp: output files that cannot be created or written */
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "harness.h"

/* the unit square with U = x, a grid run that writes all six files */
static const char *Grid = "t\n8 -30\n0 0 0 0\n0.5 0 0 0.5\n1 0 0 1\n1 0.5 0 1\n1 1 0 1\n0.5 1 0 0.5\n"
                          "0 1 0 0\n0 0.5 3 0\n";

static const struct {
    const char *name;
    int code;
} Outputs[] = {{"KAVOR.OUT", 711}, {"KAVOR.P2D", 737}, {"KAVOR.V2D", 779},
               {"KAVOR.TRI", 907}, {"KAV0R.QM4", 955}, {"KAVOR.QM4", 983}};

TEST(Writes, FullDiskEndsTheRunWithTheFilesCode)
{
    for (auto &o : Outputs) {
        Scratch d;
        d.Write("in.dat", Grid);
        ASSERT_EQ(symlink("/dev/full", d.Path(o.name).c_str()), 0);
        Outcome r = d.Kavor({"in.dat"});
        EXPECT_EQ(r.rc, 1) << o.name;
        std::string want = "\nFatal Error Code: " + std::to_string(o.code) + "\ncan't write output file\n";
        ASSERT_GE(r.err.size(), want.size()) << o.name;
        EXPECT_EQ(r.err.substr(r.err.size() - want.size()), want) << o.name;
        EXPECT_EQ(r.err.find("for velocity vectors"), std::string::npos) << o.name;
    }
}

TEST(Writes, FilesThatCannotBeCreated)
{
    for (auto &o : Outputs) {
        Scratch d;
        d.Write("in.dat", Grid);
        ASSERT_EQ(mkdir(d.Path(o.name).c_str(), 0755), 0);
        Outcome r = d.Kavor({"in.dat"});
        EXPECT_EQ(r.rc, 1);
        std::string want = "\nFatal Error Code: " + std::to_string(o.code) + "\ncan't create output file\n";
        ASSERT_GE(r.err.size(), want.size()) << o.name;
        EXPECT_EQ(r.err.substr(r.err.size() - want.size()), want) << o.name;
        /* the name stands just above the error */
        std::string tail = std::string(" ") + o.name + "\n";
        EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail) << o.name;
    }
}
