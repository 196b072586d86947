// A maker folder in memory: file names in listing order, each with its text or
// none when it can't be opened.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dialog/dialog_lists.h"

namespace orvex {

inline const std::string kLifeFor2x2 = "#Life 1.05\n#D 2x2\n#P 0 0\n**\n";

class FakeMakerFiles : public MakerFiles {
public:
    void add_pattern(std::string name, std::optional<std::string> text) {
        folders_["Patterns2d"].emplace_back(std::move(name), std::move(text));
    }
    void add_picture(std::string name) { folders_["Pictures"].emplace_back(std::move(name), "BM"); }

    std::vector<std::string> list(const std::string& subfolder) const override {
        std::vector<std::string> names;
        auto it = folders_.find(subfolder);
        if (it != folders_.end())
            for (const auto& file : it->second) names.push_back(file.first);
        return names;
    }
    std::optional<std::string> read(const std::string& subfolder, const std::string& name) const override {
        auto it = folders_.find(subfolder);
        if (it == folders_.end()) return std::nullopt;
        for (const auto& file : it->second)
            if (file.first == name) return file.second;
        return std::nullopt;
    }

private:
    std::map<std::string, std::vector<std::pair<std::string, std::optional<std::string>>>> folders_;
};

}  // namespace orvex
