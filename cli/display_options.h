// The checks of the command line's texts that go into C source: the array's name and the attribute
// of its declaration.
#pragma once

#include <string>

// Why `name` cannot name the array of C array text, or nothing when it is a C identifier.
std::string ArrayNameProblem(const std::string& name);

// Why `attribute` cannot go into the array's declaration, or nothing when it can: it must not end or
// break the declaration (';', braces, '=', a second declarator, comment marks, line breaks and other
// control characters, unbalanced brackets or quotes).
std::string CAttributeProblem(const std::string& attribute);
