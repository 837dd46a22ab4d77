#pragma once

#include <cstdio>
#include <cstdlib>
#include <stdlib.h> // mkdtemp, setenv
#include <filesystem>
#include <string>

namespace kelvo::test
{

/**
    Gives the test process a home folder of its own (HOME and XDG_CONFIG_HOME), removed when the
    process ends, so that no test reads or writes the settings, MIDI ports or plug-ins of the
    machine's user, and tests running side by side never share a settings folder. ctest starts
    every test in a process of its own; create this first thing in main, before anything reads the
    environment.
*/
class PrivateHome
{
public:
    PrivateHome()
    {
        const auto* tmp = std::getenv ("TMPDIR");
        std::string pattern =
            std::string (tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/kelvo-test-home-XXXXXX";
        if (::mkdtemp (pattern.data()) == nullptr)
        {
            std::perror ("mkdtemp");
            std::abort(); // running on the user's own home would be worse than not running
        }
        path = pattern;
        const auto config = path + "/.config";
        std::filesystem::create_directories (config);
        ::setenv ("HOME", path.c_str(), 1);
        ::setenv ("XDG_CONFIG_HOME", config.c_str(), 1);
    }

    ~PrivateHome()
    {
        std::error_code ignored;
        std::filesystem::remove_all (path, ignored);
    }

    const std::string& getPath() const noexcept { return path; }

    PrivateHome (const PrivateHome&) = delete;
    PrivateHome& operator= (const PrivateHome&) = delete;

private:
    std::string path;
};

} // namespace kelvo::test
