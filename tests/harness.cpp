/* harness.cpp: runs the built program in a scratch directory of its own */
#include "harness.h"

#include <gtest/gtest.h>

#include "field/field.h"
#include "input/input.h"
#include "model/model.h"
#include "solver/assemble.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#ifdef KAVOR_SANITIZE
/* The tests load one model after another into this process, and the arrays
   of the last one are dropped: by design the program never frees its model.
   Leaks are looked for in the program's own runs, not in this process. */
extern "C" const char *__asan_default_options()
{
    return "detect_leaks=0";
}
#endif

Scratch::Scratch()
{
    char t[] = "/tmp/kavor-test-XXXXXX";
    dir = mkdtemp(t);
}

Scratch::~Scratch()
{
    std::string cmd = "rm -rf '" + dir + "'";
    if (std::system(cmd.c_str()) != 0)
        std::perror("rm");
}

void Scratch::Write(const std::string &name, const std::string &text) const
{
    std::ofstream f(Path(name), std::ios::binary);
    f << text;
}

std::string Scratch::Read(const std::string &name) const
{
    std::ifstream f(Path(name), std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

bool Scratch::Exists(const std::string &name) const
{
    struct stat st;
    return lstat(Path(name).c_str(), &st) == 0;
}

std::vector<std::string> Scratch::Files() const
{
    std::vector<std::string> v;
    DIR *d = opendir(dir.c_str());
    while (struct dirent *e = readdir(d)) {
        std::string n = e->d_name;
        if (n != "." && n != ".." && n != ".stdout" && n != ".stderr")
            v.push_back(n);
    }
    closedir(d);
    std::sort(v.begin(), v.end());
    return v;
}

static std::string Quote(const std::string &s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

Outcome Scratch::Kavor(const std::vector<std::string> &args, const std::string &extra) const
{
    std::string cmd = "cd " + Quote(dir) + " && " + extra + " exec " + Quote(KAVOR_EXE);
    for (const auto &a : args)
        cmd += " " + Quote(a);
    cmd += " >.stdout 2>.stderr";
    int st = std::system(cmd.c_str());
    Outcome r;
    r.rc = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    r.out = Read(".stdout");
    r.err = Read(".stderr");
    unlink(Path(".stdout").c_str());
    unlink(Path(".stderr").c_str());
    return r;
}

Outcome Scratch::KavorOn(const std::string &input) const
{
    Write("in.dat", input);
    return Kavor({"in.dat"});
}

std::string Banner()
{
    return "KAVOR/2.31: Boundary Element Method for Potential Fields\n"
           "  written by the KAVOR developers\n";
}

std::string Lbl(const std::string &label)
{
    std::string s = label + " ";
    if (label.size() < 49)
        s.append(49 - label.size(), '.');
    return s + " ";
}

void LoadModel(const std::string &input)
{
    Scratch d;
    d.Write("in.dat", input);
    Nline = 0;
    testing::internal::CaptureStdout();
    ReadInput(d.Path("in.dat").c_str());
    testing::internal::GetCapturedStdout();
}

void SolveModel(const std::string &v2d)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    AssembleAndSolve();
    if (!v2d.empty())
        EvaluateField(v2d.c_str());
    testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();
}

std::string Fatal(int code, const std::string &msg)
{
    return "\nFatal Error Code: " + std::to_string(code) + "\n" + msg + "\n";
}

void ExpectRejected(const std::string &name, const std::string &input, int code, const std::string &msg)
{
    Scratch d;
    Outcome r = d.KavorOn(input);
    EXPECT_EQ(r.rc, 1) << name;
    EXPECT_EQ(r.err, Fatal(code, msg)) << name;
    EXPECT_EQ(d.Files(), std::vector<std::string>{"in.dat"}) << name;
}
