#pragma once

// Runs the real gravik-cli binary as a user would, in a scratch folder of its own.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        mDir = std::filesystem::temp_directory_path() /
               ("gravik-cli-" + std::string(test->name()) + "-" + std::to_string(getpid()));
        std::filesystem::create_directories(mDir);
    }
    void TearDown() override { std::filesystem::remove_all(mDir); }

    CliResult Run(const std::string& arguments) const {
        const auto out = mDir / "stdout";
        const auto err = mDir / "stderr";
        // A command that hangs (on a FIFO, say) fails the test with status 124 instead.
        const std::string command = "timeout 60 " + std::string(GRAVIK_CLI) + " " + arguments +
                                    " >" + out.string() + " 2>" + err.string();
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadAll(out), ReadAll(err)};
    }

    static std::string ReadAll(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::filesystem::path mDir;
};
