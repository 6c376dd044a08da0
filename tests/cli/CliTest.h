#pragma once

// Runs the real gravik-cli binary as a user would, in a scratch folder of its own.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "FileBytes.h"
#include "TempDir.h"

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test {
protected:
    CliResult Run(const std::string& arguments) const {
        const auto out = mDir / "stdout";
        const auto err = mDir / "stderr";
        // A command that hangs (on a FIFO, say) fails the test with status 124 instead.
        const std::string command =
            "timeout 60 " + mProgram + " " + arguments + " >" + out.string() + " 2>" + err.string();
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(out), ReadBytes(err)};
    }

    TempDir mTemp;
    const std::filesystem::path mDir = mTemp.Path();
    std::string mProgram = GRAVIK_CLI;
};
