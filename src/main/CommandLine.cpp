#include "main/CommandLine.h"

CommandLine CommandLine::parse(const std::vector<std::string> &args) {
    CommandLine line;
    if (!args.empty())
        line.rest.push_back(args.front());
    for (std::size_t i = 1; i < args.size() && line.ok(); ++i) {
        const std::string &arg = args[i];
        if (arg.rfind("--", 0) != 0) {
            line.rest.push_back(arg);
            continue;
        }
        const std::size_t eq = arg.find('=');
        const std::string option = arg.substr(0, eq);
        if (option != "--level" && option != "--players") {
            line.error = "unknown option \"" + arg + "\" (known: --level FILE, --players 1|2)";
            break;
        }
        std::string value;
        if (eq != std::string::npos) {
            value = arg.substr(eq + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        }
        if (value.empty()) {
            line.error = option + " needs a value";
        } else if (option == "--level") {
            if (value.find('/') != std::string::npos || value == "." || value == "..")
                line.error = "--level takes a file name in data/level/, not a path: \"" + value + "\"";
            else
                line.level = value;
        } else if (value == "1" || value == "2") {
            line.players = value[0] - '0';
        } else {
            line.error = "--players takes 1 or 2, not \"" + value + "\"";
        }
    }
    return line;
}
