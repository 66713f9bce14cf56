#pragma once

// A fresh folder per test, with the settings folder pointed inside it so no test
// ever reads or writes the user's own settings.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>

#include "tests/TestFiles.h"

using testfiles::ScopedEnv;

class TestFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string unique = std::string(info->test_suite_name()) + "-" + info->name();
        for (char& c : unique) {
            if (c == '/')
                c = '_';
        }
        folder.emplace("orrery-platform-" + unique + "-");
        root = folder->Path();
        config = (root / "config").string();
        configEnv.emplace("XDG_CONFIG_HOME", config.c_str());
    }
    void TearDown() override
    {
        configEnv.reset();
        folder.reset();
    }

    std::string Path(const std::string& relative) const { return (root / relative).string(); }

    static void WriteText(const std::string& path, const std::string& text) { testfiles::WriteBytes(path, text); }
    static std::string ReadText(const std::string& path) { return testfiles::ReadBytes(path); }

    std::optional<testfiles::TempFolder> folder;
    std::filesystem::path root;
    std::string config;
    std::optional<ScopedEnv> configEnv;
};
