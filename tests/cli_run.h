// Running the tivorn program from the end-to-end tests (cli_test, cli_demo_test).
#ifndef TIVORN_TESTS_CLI_RUN_H
#define TIVORN_TESTS_CLI_RUN_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace clitest {

namespace fs = std::filesystem;

struct RUN {
    int status;
    std::string out;
    std::string err;
};

inline std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

inline std::string quote(const std::string& text) {
    std::string q = "'";
    for (char c : text)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline std::string slurp(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The arguments on one line, for a trace.
inline std::string joined(const std::vector<std::string>& args) {
    std::string line;
    for (const std::string& a : args) line += a + " ";
    return line;
}

inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}


class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_cli = env("TIVORN_CLI");
        if (m_cli.empty())
            GTEST_SKIP() << "runs in the native Linux build, where TIVORN_CLI names the program";
        m_pictures = env("TIVORN_DEMO_PICTURES");
        m_work = fs::path(env("TIVORN_CLI_WORK")) / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(m_work);
        fs::create_directories(m_work);
    }

    // Runs the program in the work folder; prefix goes before it (environment).
    RUN run(const std::vector<std::string>& args, const std::string& prefix = "", const std::string& program = "") {
        std::string command = "cd " + quote(m_work.string()) + " && " + prefix + " " +
                              quote(program.empty() ? m_cli : program);
        for (const std::string& a : args)
            command += " " + quote(a);
        command += " >out.txt 2>err.txt </dev/null; echo $? >status.txt";
        EXPECT_EQ(std::system(command.c_str()), 0);
        return RUN{std::atoi(slurp(m_work / "status.txt").c_str()), slurp(m_work / "out.txt"),
                   slurp(m_work / "err.txt")};
    }

    std::string pic(const char* name) const { return (fs::path(m_pictures) / name).string(); }
    std::string work(const char* name) const { return (m_work / name).string(); }

    std::string m_cli;
    std::string m_pictures;
    fs::path m_work;
};

} // namespace clitest

#endif
