/* test_regressions.cpp: every input that made the fuzzer find a fault ends
 * in one of the two ways a run may end
 */
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <string>
#include <vector>

#include "harness.h"

/* the files of a directory, sorted */
static std::vector<std::string> Inputs(const std::string &dir)
{
    std::vector<std::string> v;
    if (DIR *d = opendir(dir.c_str())) {
        while (struct dirent *e = readdir(d))
            if (e->d_name[0] != '.')
                v.push_back(e->d_name);
        closedir(d);
    }
    std::sort(v.begin(), v.end());
    return v;
}

/* 1 when the text holds "nan" or "inf" in any case */
static bool NonFinite(std::string s)
{
    for (char &c : s)
        c = (char)std::tolower((unsigned char)c);
    return s.find("nan") != std::string::npos || s.find("inf") != std::string::npos;
}

TEST(FuzzRegressions, EveryInputEndsCleanly)
{
    std::vector<std::string> names = Inputs(KAVOR_REGRESSIONS);
    ASSERT_FALSE(names.empty());
    for (const auto &n : names) {
        Scratch d;
        Outcome r = d.Kavor({std::string(KAVOR_REGRESSIONS) + "/" + n});
        /* exit 0 with finite numbers in every file, or exit 1 with one
           numbered fatal error as the last thing on standard error */
        ASSERT_TRUE(r.rc == 0 || r.rc == 1) << n << " exit " << r.rc << "\n" << r.err;
        if (r.rc == 1) {
            size_t at = r.err.rfind("\nFatal Error Code: ");
            ASSERT_NE(at, std::string::npos) << n << "\n" << r.err;
            EXPECT_GE(std::count(r.err.begin() + at, r.err.end(), '\n'), 3) << n << "\n" << r.err;
            EXPECT_EQ(r.err.back(), '\n') << n;
        } else {
            for (const auto &f : d.Files())
                EXPECT_FALSE(NonFinite(d.Read(f))) << n << ": " << f;
        }
        EXPECT_EQ(r.err.find("Sanitizer"), std::string::npos) << n << "\n" << r.err;
        EXPECT_EQ(r.err.find("runtime error"), std::string::npos) << n << "\n" << r.err;
    }
}
