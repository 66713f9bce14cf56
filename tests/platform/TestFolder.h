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

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name(name)
    {
        if (const char* old = std::getenv(name))
            saved = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (saved)
            ::setenv(name.c_str(), saved->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name;
    std::optional<std::string> saved;
};

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
        root = std::filesystem::temp_directory_path()
            / ("orrery-platform-" + std::to_string(::getpid()) + "-" + unique);
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
        config = (root / "config").string();
        configEnv.emplace("XDG_CONFIG_HOME", config.c_str());
    }
    void TearDown() override
    {
        configEnv.reset();
        std::error_code error;
        std::filesystem::remove_all(root, error);
    }

    std::string Path(const std::string& relative) const { return (root / relative).string(); }

    static void WriteText(const std::string& path, const std::string& text)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string ReadText(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::filesystem::path root;
    std::string config;
    std::optional<ScopedEnv> configEnv;
};
