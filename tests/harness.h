/* harness.h: runs the built program in a scratch directory of its own */
#ifndef KAVOR_TEST_HARNESS_H
#define KAVOR_TEST_HARNESS_H

#include <string>
#include <vector>

struct Outcome {
    int rc;
    std::string out, err;
};

/* a fresh empty directory that is removed with the object */
struct Scratch {
    std::string dir;
    Scratch();
    ~Scratch();
    std::string Path(const std::string &name) const { return dir + "/" + name; }
    void Write(const std::string &name, const std::string &text) const;
    std::string Read(const std::string &name) const;
    bool Exists(const std::string &name) const;
    std::vector<std::string> Files() const; /* sorted names in the directory */
    /* runs the program with these arguments in the directory; extra is a
       shell prefix such as "ulimit -v 1000000;" */
    Outcome Kavor(const std::vector<std::string> &args, const std::string &extra = "") const;
    /* writes the input to "in.dat" and runs the program on it */
    Outcome KavorOn(const std::string &input) const;
};

/* reads an input into this process's model, with its console output
   swallowed */
void LoadModel(const std::string &input);

/* solves the loaded model and, when v2d is not empty, evaluates its field
   into that file, with the console swallowed */
void SolveModel(const std::string &v2d = "");

/* the address-space limits that some tests set (ulimit -v) cannot hold
   the sanitizers' shadow memory */
#ifdef KAVOR_SANITIZE
#define SKIP_IF_SANITIZED() GTEST_SKIP() << "address-space limits do not work under the sanitizers"
#else
#define SKIP_IF_SANITIZED() (void)0
#endif

/* the standard error of a fatal error: code and message */
std::string Fatal(int code, const std::string &msg);

/* runs the program on the input and expects the fatal error code with its
   message, and no file written; name tells the case */
void ExpectRejected(const std::string &name, const std::string &input, int code, const std::string &msg);

/* the banner lines that start every run's standard output */
std::string Banner();

/* a label line's leader: the label, a blank, dots up to column 51, a blank */
std::string Lbl(const std::string &label);

#endif
