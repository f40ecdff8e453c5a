#pragma once
// For a test that may reach the user's home or trash: while it lives, HOME and XDG_DATA_HOME name folders of the
// test's own; they get their former values back (or stay unset) afterwards.

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

class OwnHome {
public:
    OwnHome(const std::filesystem::path& home, const std::filesystem::path& data)
    {
        for (const char* variable : {"HOME", "XDG_DATA_HOME"})
            if (const char* value = std::getenv(variable))
                saved_[variable] = value;
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_DATA_HOME", data.c_str(), 1);
    }
    ~OwnHome()
    {
        for (const char* variable : {"HOME", "XDG_DATA_HOME"}) {
            const auto value = saved_.find(variable);
            if (value == saved_.end())
                unsetenv(variable);
            else
                setenv(variable, value->second.c_str(), 1);
        }
    }
    OwnHome(const OwnHome&) = delete;
    OwnHome& operator=(const OwnHome&) = delete;

private:
    std::map<std::string, std::string> saved_;
};
