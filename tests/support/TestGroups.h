#pragma once

#include <QByteArray>

#include <initializer_list>
#include <vector>

using TestGroup = int (*)(int argc, char **argv);

// Runs each group of tests in turn and counts the failures of all. A log
// file named with -o NAME,FORMAT (under Wine the log reaches no pipe)
// becomes NAME.1, NAME.2, ..., one a group, so none overwrites another.
inline int runTestGroups(int argc, char **argv, std::initializer_list<TestGroup> groups)
{
    int failures = 0;
    int number = 0;
    for (TestGroup run : groups) {
        ++number;
        std::vector<QByteArray> arguments(argv, argv + argc);
        for (int i = 1; i + 1 < argc; ++i) {
            const qsizetype comma = arguments[i + 1].lastIndexOf(',');
            if (arguments[i] == "-o" && comma > 0)
                arguments[i + 1].insert(comma, "." + QByteArray::number(number));
        }
        std::vector<char *> pointers;
        for (QByteArray &argument : arguments)
            pointers.push_back(argument.data());
        failures += run(argc, pointers.data());
    }
    return failures;
}
