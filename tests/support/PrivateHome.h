#pragma once

#include <cstdio>
#include <cstdlib>
#include <stdlib.h> // mkdtemp, setenv
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <random>
#endif

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
#ifdef _WIN32
        // Windows keeps application data where the system says, not under HOME: a test run there
        // gets its own user profile from its caller (scripts/windows.sh runs it in a Wine prefix of
        // its own). The folder still keeps the tests' temporary files apart.
        std::random_device random;
        const auto base = std::filesystem::temp_directory_path();
        std::error_code ignored;
        do
            path = (base / ("kelvo-test-home-" + std::to_string (random()))).string();
        while (std::filesystem::exists (path, ignored));
        std::filesystem::create_directories (path);
        ::_putenv_s ("HOME", path.c_str());
#else
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
#endif
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
