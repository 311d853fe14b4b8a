// Shared by the level benchmarks: one copy of an objects-file section, renamed and set a little
// apart from the original, so a hotel can be grown to a busy one.
#pragma once

#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

// The sections of an INI text in file order, each as its name and its body of lines.
inline std::vector<std::pair<std::string, std::string>> iniSections(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> sections;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            sections.push_back({line.substr(1, line.find(']') - 1), ""});
        } else if (!sections.empty()) {
            sections.back().second += line + "\n";
        }
    }
    return sections;
}

// The k-th copy of the section body under the name copy: "name" follows it, "x" moves by 6k
// and "y" by 4k.
inline std::string shiftedSection(const std::string& body, const std::string& copy, int k) {
    std::string shifted, line;
    std::istringstream b(body);
    while (std::getline(b, line)) {
        if (line.rfind("name=", 0) == 0) line = "name=" + copy;
        if (line.rfind("x=", 0) == 0)
            line = "x=" + std::to_string(std::atoi(line.c_str() + 2) + k * 6);
        if (line.rfind("y=", 0) == 0)
            line = "y=" + std::to_string(std::atoi(line.c_str() + 2) + k * 4);
        shifted += line + "\n";
    }
    return shifted;
}
